// Checks that the forged pictures agree with the numbers the game draws them by: plain baseline
// JPEGs, stage sites painted where the path file puts them, trophies standing on the room's walls,
// the cursor's tip in its atlas cell, glyphs inside their advances.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "stb_image.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;
using testing_support::readFile;

fs::path dataPath(const std::string& rel) { return fs::path(SANDMERE_DATA_DIR) / rel; }

template <class T>
T readAt(const std::string& b, size_t at) {
    T v;
    std::memcpy(&v, b.data() + at, sizeof v);
    return v;
}

struct Rgba {
    int w = 0, h = 0;
    std::vector<uint8_t> px;
    const uint8_t* at(int x, int y) const { return &px[(size_t(y) * w + x) * 4]; }
};

Rgba load(const std::string& bytes) {
    Rgba r;
    int n = 0;
    unsigned char* p = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()), int(bytes.size()), &r.w, &r.h, &n, 4);
    if (p) {
        r.px.assign(p, p + size_t(r.w) * r.h * 4);
        stbi_image_free(p);
    }
    return r;
}

// The markers of a JPEG stream up to its end-of-image marker.
std::vector<int> jpegMarkers(const std::string& b, size_t& end) {
    std::vector<int> markers;
    size_t i = 2;
    end = 0;
    while (i + 2 <= b.size()) {
        if (uint8_t(b[i]) != 0xFF) break;
        int m = uint8_t(b[i + 1]);
        markers.push_back(m);
        if (m == 0xD9) {
            end = i + 2;
            break;
        }
        if (i + 4 > b.size()) break;
        size_t len = (uint8_t(b[i + 2]) << 8) | uint8_t(b[i + 3]);
        if (m == 0xDA) {  // entropy-coded data runs to the next marker that is not a stuffed byte or restart
            i += 2 + len;
            while (i + 1 < b.size() && !(uint8_t(b[i]) == 0xFF && uint8_t(b[i + 1]) != 0 && (uint8_t(b[i + 1]) < 0xD0 || uint8_t(b[i + 1]) > 0xD7))) ++i;
            continue;
        }
        i += 2 + len;
    }
    return markers;
}

TEST(DataArtwork, JpegsAreBaselineWithoutMetadata) {
    REQUIRE_DATA_SET("megamap.jpg");
    int seen = 0;
    for (const auto& entry : fs::recursive_directory_iterator(SANDMERE_DATA_DIR)) {
        if (entry.path().extension() != ".jpg") continue;
        std::string b = readFile(entry.path());
        ASSERT_GE(b.size(), 4u);
        ASSERT_EQ(uint8_t(b[0]), 0xFF);
        ASSERT_EQ(uint8_t(b[1]), 0xD8);
        size_t end = 0;
        std::vector<int> markers = jpegMarkers(b, end);
        std::string name = entry.path().filename().string();
        EXPECT_GT(end, 0u) << name << " has no end-of-image marker";
        bool baseline = false;
        for (int m : markers) {
            EXPECT_NE(m, 0xE1) << name << " carries EXIF data";
            EXPECT_NE(m, 0xC2) << name << " is progressive";
            baseline |= m == 0xC0;
        }
        EXPECT_TRUE(baseline) << name;
        // a plain JPEG ends at its marker; an alpha JPEG carries exactly its alpha plane after it
        Rgba pic = load(b.substr(0, end));
        size_t tail = b.size() - end;
        if (name.rfind("_a_", 0) == 0) {
            EXPECT_EQ(tail, size_t(pic.w) * pic.h) << name;
        } else {
            EXPECT_EQ(tail, 0u) << name;
        }
        ++seen;
    }
    EXPECT_GE(seen, 40);
}

TEST(DataArtwork, StageSitesArePaintedWhereThePathPutsThem) {
    REQUIRE_DATA_SET("mapspline.spl");
    std::string spl = readFile(dataPath("mapspline.spl"));
    int32_t n = readAt<int32_t>(spl, 0);
    ASSERT_GE(n, 2);
    float L = readAt<float>(spl, 4);
    Rgba map = load(readFile(dataPath("megamap.jpg")));
    ASSERT_EQ(map.w, 1024);
    auto pointAt = [&](float d, float& x, float& y) {
        int b = std::min(int(d / 20), n - 2);
        float t = d / 20 - b;
        float x0 = readAt<float>(spl, 8 + 8 * size_t(b)), y0 = readAt<float>(spl, 12 + 8 * size_t(b));
        float x1 = readAt<float>(spl, 16 + 8 * size_t(b)), y1 = readAt<float>(spl, 20 + 8 * size_t(b));
        x = x0 + (x1 - x0) * t + 400;
        y = y0 + (y1 - y0) * t + 330;
    };
    for (int s = 0; s < 15; ++s) {
        float x, y;
        pointAt(s * L / 14, x, y);
        // the clearing of a stage site is light sand round the site's centre
        int sandy = 0;
        for (int dy = -20; dy <= 20; dy += 5)
            for (int dx = -20; dx <= 20; dx += 5) {
                const uint8_t* p = map.at(int(x) + dx, int(y) + dy);
                sandy += p[0] > 170 && p[1] > 150 && p[2] > 100 && p[0] >= p[2] + 30;
            }
        EXPECT_GT(sandy, 60) << "no clearing painted at stage " << s << " (" << x << ", " << y << ")";
    }
    // and the path between the sites is painted as a road, not left as grass or sea
    int onRoad = 0, samples = 0;
    for (float d = 10; d < L; d += 37) {
        float x, y;
        pointAt(d, x, y);
        const uint8_t* p = map.at(int(x), int(y));
        onRoad += p[0] > p[1] && p[1] > p[2] && p[0] > 140;
        ++samples;
    }
    EXPECT_GT(onRoad, samples * 9 / 10);
}

TEST(DataArtwork, TrophiesStandOnTheRoomsWallsNotInItsWindows) {
    REQUIRE_DATA_SET("trophyes/trophy.cfg");
    std::string cfg = readFile(dataPath("trophyes/trophy.cfg"));
    ASSERT_EQ(cfg.size(), 1564u);
    std::string back = readFile(dataPath("AnimBacks/_a_back17.jpg"));
    ASSERT_GT(back.size(), 480000u);
    const uint8_t* alpha = reinterpret_cast<const uint8_t*>(back.data()) + back.size() - 480000;
    for (int i = 0; i < 17; ++i) {
        float x = readAt<float>(cfg, size_t(i) * 92 + 8), y = readAt<float>(cfg, size_t(i) * 92 + 12);
        int px = int(400 + x), py = int(300 - y);
        ASSERT_TRUE(px >= 0 && px < 800 && py >= 0 && py < 600) << i;
        EXPECT_GT(alpha[py * 800 + px], 200) << "trophy " << i + 1 << " hangs in an opening of the room";
    }
}

TEST(DataArtwork, CursorTipSitsAtTheCornerOfItsCell) {
    REQUIRE_DATA_SET("_a_menutex.jpg");
    std::string b = readFile(dataPath("_a_menutex.jpg"));
    ASSERT_GT(b.size(), 256u * 512u);
    const uint8_t* alpha = reinterpret_cast<const uint8_t*>(b.data()) + b.size() - 256 * 512;
    // the arrow cursor is cell (3, 7); the game draws its tip at pixel (2, 0) of the cell
    auto a = [&](int x, int y) { return int(alpha[(448 + y) * 256 + 192 + x]); };
    EXPECT_GT(std::max(a(2, 1), a(3, 2)), 128);
    int inkLeftTop = 0, inkRightBottom = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) inkLeftTop += a(x, y) > 128;
    for (int y = 32; y < 64; ++y)
        for (int x = 32; x < 64; ++x) inkRightBottom += a(x, y) > 128;
    EXPECT_GT(inkLeftTop, inkRightBottom * 4);
}

TEST(DataArtwork, GlyphsStayWithinTheirAdvances) {
    REQUIRE_DATA_SET("font.dat");
    std::string dat = readFile(dataPath("font.dat"));
    ASSERT_EQ(dat.size(), 516u);
    Rgba sheet = load(readFile(dataPath("font.tga")));
    ASSERT_EQ(sheet.w, 512);
    for (int c = 33; c < 127; ++c) {
        int cell = uint8_t(dat[260 + c]), width = uint8_t(dat[4 + c]);
        int ox = (cell % 16) * 32, oy = (cell / 16) * 32;
        int left = 32, right = -1;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                if (sheet.at(ox + x, oy + y)[3] > 64) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        ASSERT_GE(right, left) << char(c);
        // the glyph is drawn centred on the pen, so its ink lies around the cell's middle
        float mid = (left + right + 1) / 2.f;
        EXPECT_NEAR(mid, 16.f, 3.5f) << "'" << char(c) << "' is off centre";
        EXPECT_LE(right - left + 1, width + 3) << "'" << char(c) << "' is wider than its advance";
    }
}

}  // namespace
