// Shared helpers for the tests: temporary folders, a fatal hook that throws, a data folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <stb_image_write.h>

#include "platform/fatal.h"

namespace testing_support {

// A fatal message raised during a test (the real exit is replaced by this exception).
struct FatalError : std::runtime_error {
    std::string caption;
    FatalError(const std::string& text, const std::string& cap) : std::runtime_error(text), caption(cap) {}
};

inline void throwingFatalHook(const char* text, const char* caption) {
    throw FatalError(text ? text : "", caption ? caption : "");
}

// Installs the throwing hook for the lifetime of the object.
struct FatalGuard {
    FatalGuard() { platform::setFatalHook(throwingFatalHook); }
    ~FatalGuard() { platform::setFatalHook(nullptr); }
};

// A fresh temporary folder, removed at the end.
struct TempDir {
    std::filesystem::path path;
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "sandmere-test-XXXXXX").string();
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back('\0');
        char* made = mkdtemp(buf.data());
        if (!made) throw std::runtime_error("mkdtemp failed");
        path = made;
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::string str() const { return path.string(); }
    std::filesystem::path operator/(const std::string& name) const { return path / name; }
};

inline void writeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A 2 x 2 white 32-bit TGA picture.
inline std::string tinyTga() {
    std::string tga(18, '\0');
    tga[2] = 2;     // uncompressed true colour
    tga[12] = 2;    // width
    tga[14] = 2;    // height
    tga[16] = 32;   // bits per pixel
    tga[17] = 0x28; // top-left origin, 8 alpha bits
    tga += std::string(16, '\xff');
    return tga;
}

// An 8 x 8 grey baseline JPEG picture.
inline std::string tinyJpeg() {
    std::string out;
    unsigned char pixels[8 * 8 * 3];
    for (unsigned char& p : pixels) p = 128;
    stbi_write_jpg_to_func(
        [](void* context, void* data, int size) {
            static_cast<std::string*>(context)->append(static_cast<const char*>(data), static_cast<size_t>(size));
        },
        &out, 8, 8, 3, pixels, 90);
    return out;
}

// Stand-ins for the board's pictures, which the loading takes in after the sounds.
inline void writeBoardPictures(const TempDir& dir) {
    std::filesystem::create_directories(dir / "Data/figures");
    std::filesystem::create_directories(dir / "Data/field");
    for (const char* name : {"aqua", "blue", "green", "red", "orange", "lilac", "white", "yellow"})
        writeFile(dir / "Data/figures" / (std::string(name) + ".tga"), tinyTga());
    for (const char* name : {"field0.tga", "field1.tga", "field2.tga"}) writeFile(dir / "Data/field" / name, tinyTga());
    for (const char* name : {"zep2.tga", "candlefire.tga", "candlepool.tga", "drop1.tga", "drop2.tga", "drop3.tga",
                             "drop4.tga", "drop5.tga", "heart.tga", "bonus1.tga", "bonus2.tga", "trophybutton.tga",
                             "hammer.texture1.tga", "hammer.texture2.tga"})
        writeFile(dir / "Data" / name, tinyTga());
    for (const char* name : {"_a_gamebar.jpg", "flare.jpg", "_a_candle.jpg", "_a_candlestick.jpg", "_a_gag.jpg",
                             "hammer.texturelum1.jpg", "hammer.texturelum2.jpg", "hammer.texturelum3.jpg"})
        writeFile(dir / "Data" / name, tinyJpeg());
}

// The menus of a minimal install: a main menu of one item, and the menu pictures.
inline void addMinimalMenus(const TempDir& dir) {
    writeFile(dir / "Data/menu.txt", "main=\r\nplaceholder\r\nexit\r\n\r\n");
    writeFile(dir / "Data/menutext2.txt", "exit=Exit\r\n");
    for (const char* picture : {"_a_menutex.jpg", "white.jpg", "_a_baloon.jpg"}) writeFile(dir / "Data" / picture, tinyJpeg());
    writeFile(dir / "Data/button.tga", tinyTga());
}

// The smallest pictures and layouts the loading needs for the particle effects, the
// backdrops and the artefact pictures, under the data folder given.
inline void writeMinimalDrawingData(const std::filesystem::path& data) {
    writeFile(data / "exploanim.tga", tinyTga());
    writeFile(data / "AnimBacks/gameobjs.txt", "; no objects\r\n");
    for (int i = 0; i < 16; ++i) writeFile(data / ("AnimBacks/level" + std::to_string(i) + ".lev"), std::string(68, '\0'));
    writeFile(data / "AnimBacks/_a_back15.jpg", tinyJpeg());  // the main menus' backdrop
    for (int i = 0; i < 15; ++i)
        writeFile(data / ("artefacts/art" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".jpg"), tinyJpeg());
    writeFile(data / "mask/zaglushka.jpg", tinyJpeg());
    for (int k = 1; k <= 10; ++k) writeFile(data / ("mask/mask" + std::to_string(k) + ".tga"), tinyTga());
    // The trophies and the journey map's pictures.
    std::string trophies;
    for (int i = 1; i <= 17; ++i) {
        trophies += "trophy" + std::to_string(i) + "=cup.tga\r\ntrophylum" + std::to_string(i) + "=cupglow.tga\r\n";
    }
    writeFile(data / "trophy.txt", trophies);
    writeFile(data / "trophyes/cup.tga", tinyTga());
    writeFile(data / "trophyes/cupglow.tga", tinyTga());
    for (const char* name : {"megamap.jpg", "mapback.jpg", "_a_mapstart.jpg", "_a_gag.jpg"}) writeFile(data / name, tinyJpeg());
    for (const char* name : {"maplevelmark.tga", "mapstar.tga", "mapartefact_q.tga", "mapback1.tga", "mapback2.tga"})
        writeFile(data / name, tinyTga());
    for (int s = 0; s < 15; ++s)
        writeFile(data / ("smallart" + std::string(s < 10 ? "0" : "") + std::to_string(s) + ".tga"), tinyTga());
}

// An install folder with a minimal Data/ folder (the loader's pictures, and optionally the
// second splash, the menu files and pictures), enough for the start-up and the loader scene.
inline void makeMinimalInstall(const TempDir& dir, bool secondSplash) {
    std::filesystem::create_directories(dir / "Data");
    writeFile(dir / "Data/splash1.jpg", "x");
    writeFile(dir / "Data/loadscreen.jpg", "x");
    writeFile(dir / "Data/loadbar.tga", "x");
    writeFile(dir / "Data/strings2.txt", "keytoresume=Press a key\r\n");
    writeFile(dir / "Data/font.tga", tinyTga());
    writeFile(dir / "Data/podsvet.jpg", tinyJpeg());
    std::string metrics(516, '\0');
    metrics[0] = 16;  // 16 cells per row, every glyph 8 pixels wide
    for (int c = 0; c < 256; ++c) metrics[4 + c] = 8;
    writeFile(dir / "Data/font.dat", metrics);
    writeFile(dir / "Data/tips2.txt", "tip1=A tip\r\n");
    addMinimalMenus(dir);
    if (secondSplash) writeFile(dir / "Data/splash2.jpg", "x");
    writeBoardPictures(dir);
    writeMinimalDrawingData(dir / "Data");
}

// The forged data set for the tests that read it. When it is absent the test is skipped, unless
// SANDMERE_REQUIRE_DATA is set (scripts/test sets it), where a missing data set is a failure.
inline bool dataSetAvailable(const char* relPath = "") {
    std::filesystem::path p = std::filesystem::path(SANDMERE_DATA_DIR) / relPath;
    return std::filesystem::exists(p);
}

inline bool dataSetRequired() {
    const char* v = std::getenv("SANDMERE_REQUIRE_DATA");
    return v && *v && std::string(v) != "0";
}

}  // namespace testing_support

// Skips (or fails, when the data set is required) a test that needs relPath under Data/.
#define REQUIRE_DATA_SET(relPath)                                                              \
    do {                                                                                       \
        if (!testing_support::dataSetAvailable(relPath)) {                                     \
            if (testing_support::dataSetRequired()) FAIL() << "missing data set file " << relPath; \
            GTEST_SKIP() << "data set not built: " << relPath;                                 \
        }                                                                                      \
    } while (0)

namespace testing_support {

// An install folder whose Data/ mirrors the forged data set through symbolic links, so that a
// run can write its settings without touching the build's own data folder.
inline void makeForgedInstall(const TempDir& dir) {
    std::filesystem::create_directories(dir / "Data");
    for (const auto& entry : std::filesystem::directory_iterator(SANDMERE_DATA_DIR)) {
        if (entry.path().filename() == "settings") continue;
        std::filesystem::create_symlink(entry.path(), dir / ("Data/" + entry.path().filename().string()));
    }
}

}  // namespace testing_support
