// Checks of the forged pictures: every picture present with its format and size, alpha JPEGs that
// split into a JPEG and an alpha plane, figure kinds that differ in greyscale, the particle sheet,
// the covers and their masks, and the no-alias rule of the hammer meter.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <optional>
#include <cstring>
#include <string>
#include <vector>

#include "stb_image.h"
#include "data_files.h"

namespace {

namespace fs = std::filesystem;
using data_files::dataBytes;

struct Picture {
    int w = 0, h = 0;
    std::vector<uint8_t> rgba;  // decoded, 4 bytes a pixel
    std::vector<uint8_t> alpha; // the appended plane of an alpha JPEG
    std::string error;
    uint8_t at(int x, int y, int c) const { return rgba[(size_t(y) * w + x) * 4 + c]; }
};

bool isPow2(int v) { return v > 0 && (v & (v - 1)) == 0; }

Picture decode(const std::string& bytes) {
    Picture p;
    int n = 0;
    unsigned char* px = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()), int(bytes.size()), &p.w, &p.h, &n, 4);
    if (!px) {
        p.error = stbi_failure_reason() ? stbi_failure_reason() : "decode failed";
        return p;
    }
    p.rgba.assign(px, px + size_t(p.w) * p.h * 4);
    stbi_image_free(px);
    return p;
}

// Splits an alpha JPEG at the first end-of-image marker.
Picture decodeAlphaJpeg(const std::string& bytes) {
    size_t end = std::string::npos;
    for (size_t i = 0; i + 1 < bytes.size(); ++i)
        if (uint8_t(bytes[i]) == 0xFF && uint8_t(bytes[i + 1]) == 0xD9) {
            end = i + 2;
            break;
        }
    Picture p;
    if (end == std::string::npos) {
        p.error = "no end-of-image marker";
        return p;
    }
    p = decode(bytes.substr(0, end));
    if (!p.error.empty()) return p;
    p.alpha.assign(bytes.begin() + long(end), bytes.end());
    if (p.alpha.size() != size_t(p.w) * p.h) p.error = "alpha plane of " + std::to_string(p.alpha.size()) + " bytes";
    return p;
}

enum class Kind { Tga, Jpg, AlphaJpg };

struct Expect {
    std::string path;
    Kind kind;
    int w, h;  // 0 = any power of two
};

std::vector<Expect> inventory() {
    std::vector<Expect> e = {
        {"splash1.jpg", Kind::Jpg, 800, 600},        {"splash2.jpg", Kind::Jpg, 800, 600},
        {"loadscreen.jpg", Kind::Jpg, 800, 600},     {"loadbar.tga", Kind::Tga, 472, 72},
        {"exploanim.tga", Kind::Tga, 512, 512},      {"font.tga", Kind::Tga, 512, 512},
        {"podsvet.jpg", Kind::Jpg, 0, 0},            {"_a_menutex.jpg", Kind::AlphaJpg, 256, 512},
        {"white.jpg", Kind::Jpg, 0, 0},              {"_a_baloon.jpg", Kind::AlphaJpg, 256, 128},
        {"button.tga", Kind::Tga, 0, 0},             {"zep2.tga", Kind::Tga, 0, 0},
        {"_a_gamebar.jpg", Kind::AlphaJpg, 128, 512}, {"flare.jpg", Kind::Jpg, 0, 0},
        {"_a_candle.jpg", Kind::AlphaJpg, 0, 0},     {"candlefire.tga", Kind::Tga, 0, 0},
        {"candlepool.tga", Kind::Tga, 0, 0},         {"_a_candlestick.jpg", Kind::AlphaJpg, 128, 512},
        {"heart.tga", Kind::Tga, 0, 0},              {"bonus1.tga", Kind::Tga, 0, 0},
        {"bonus2.tga", Kind::Tga, 0, 0},             {"_a_gag.jpg", Kind::AlphaJpg, 0, 0},
        {"trophybutton.tga", Kind::Tga, 0, 0},       {"hammer.texture1.tga", Kind::Tga, 64, 128},
        {"hammer.texture2.tga", Kind::Tga, 64, 128}, {"megamap.jpg", Kind::Jpg, 1024, 1024},
        {"maplevelmark.tga", Kind::Tga, 0, 0},       {"mapstar.tga", Kind::Tga, 0, 0},
        {"mapback.jpg", Kind::Jpg, 800, 600},        {"mapartefact_q.tga", Kind::Tga, 64, 64},
        {"mapback1.tga", Kind::Tga, 64, 64},         {"mapback2.tga", Kind::Tga, 64, 64},
        {"_a_mapstart.jpg", Kind::AlphaJpg, 256, 128}, {"mask/zaglushka.jpg", Kind::Jpg, 256, 256},
    };
    const char* figures[8] = {"aqua", "blue", "green", "red", "orange", "lilac", "white", "yellow"};
    for (const char* f : figures) e.push_back({std::string("figures/") + f + ".tga", Kind::Tga, 512, 256});
    for (int i = 0; i < 3; ++i) e.push_back({"field/field" + std::to_string(i) + ".tga", Kind::Tga, 0, 0});
    for (int i = 1; i <= 5; ++i) e.push_back({"drop" + std::to_string(i) + ".tga", Kind::Tga, 0, 0});
    for (int i = 1; i <= 3; ++i) e.push_back({"hammer.texturelum" + std::to_string(i) + ".jpg", Kind::Jpg, 0, 0});
    char name[64];
    for (int i = 0; i < 15; ++i) {
        std::snprintf(name, sizeof name, "smallart%02i.tga", i);
        e.push_back({name, Kind::Tga, 64, 64});
        std::snprintf(name, sizeof name, "artefacts/art%02i.jpg", i);
        e.push_back({name, Kind::Jpg, 256, 256});
    }
    for (int i = 1; i <= 10; ++i) e.push_back({"mask/mask" + std::to_string(i) + ".tga", Kind::Tga, 256, 256});
    for (int i = 0; i < 18; ++i) e.push_back({"AnimBacks/_a_back" + std::to_string(i) + ".jpg", Kind::AlphaJpg, 800, 600});
    return e;
}

std::string checkPicture(const Expect& e) {
    std::string bytes = dataBytes(e.path);
    if (bytes.empty()) return "missing";
    Picture p;
    if (e.kind == Kind::Tga) {
        if (bytes.size() < 18) return "short TGA";
        if (uint8_t(bytes[2]) != 2 && uint8_t(bytes[2]) != 10) return "not a true-colour TGA";
        if (uint8_t(bytes[16]) != 32) return "not 32 bits a pixel";
        p = decode(bytes);
    } else {
        if (uint8_t(bytes[0]) != 0xFF || uint8_t(bytes[1]) != 0xD8) return "not a JPEG";
        p = e.kind == Kind::AlphaJpg ? decodeAlphaJpeg(bytes) : decode(bytes);
    }
    if (!p.error.empty()) return p.error;
    if (e.w && (p.w != e.w || p.h != e.h))
        return "size " + std::to_string(p.w) + "x" + std::to_string(p.h);
    bool backdrop = e.path.find("_a_back") != std::string::npos;
    if (!backdrop && (!isPow2(p.w) || !isPow2(p.h)) && e.path != "loadbar.tga" && e.kind != Kind::Jpg)
        return "sides not powers of two";
    if (p.w > 1024 || p.h > 1024) return "larger than 1024";
    return "";
}

TEST(DataPictures, EveryPictureHasItsFormatAndSize) {
    REQUIRE_DATA_FILE("exploanim.tga");
    for (const Expect& e : inventory()) EXPECT_EQ(checkPicture(e), "") << e.path;
}

TEST(DataPictures, AlphaJpegsSplitAtTheirFirstEndMarker) {
    REQUIRE_DATA_FILE("_a_menutex.jpg");
    int seen = 0;
    for (const data_files::ReachableFile& file : data_files::reachableFiles(".jpg")) {
        const std::string& name = file.name;
        if (name.rfind("_a_", 0) != 0) continue;
        Picture p = decodeAlphaJpeg(file.bytes);
        EXPECT_EQ(p.error, "") << file.where << ": " << name;
        if (name.rfind("_a_back", 0) != 0) {
            EXPECT_TRUE(isPow2(p.w) && isPow2(p.h)) << file.where << ": " << name;
        }
        ++seen;
    }
    EXPECT_GE(seen, 25);
    // both hammer meter layers would turn into one picture through this alias, loose or packed
    EXPECT_FALSE(data_files::dataFile("_a_hammer.jpg").has_value());
    EXPECT_FALSE(fs::exists(fs::path(SANDMERE_DATA_DIR) / "_a_hammer.jpg"));
}

Picture loadFigures(const std::string& kind) { return decode(dataBytes("figures/" + kind + ".tga")); }

// Greyscale over black and the silhouette (alpha > 50%) of one 64 x 64 frame.
void frameOf(const Picture& p, int frame, std::vector<float>& grey, std::vector<bool>& shape) {
    grey.assign(64 * 64, 0);
    shape.assign(64 * 64, false);
    int ox = (frame % 8) * 64, oy = (frame / 8) * 64;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            float a = p.at(ox + x, oy + y, 3) / 255.f;
            float l = (0.299f * p.at(ox + x, oy + y, 0) + 0.587f * p.at(ox + x, oy + y, 1) + 0.114f * p.at(ox + x, oy + y, 2)) / 255.f;
            grey[y * 64 + x] = l * a;
            shape[y * 64 + x] = a > 0.5f;
        }
}

TEST(DataPictures, FigureKindsDifferInSilhouetteAndGreyscale) {
    REQUIRE_DATA_FILE("figures/aqua.tga");
    const char* kinds[8] = {"aqua", "blue", "green", "red", "orange", "lilac", "white", "yellow"};
    std::vector<std::vector<float>> greys(8);
    std::vector<std::vector<bool>> shapes(8);
    for (int k = 0; k < 8; ++k) {
        Picture p = loadFigures(kinds[k]);
        ASSERT_EQ(p.error, "") << kinds[k];
        frameOf(p, 0, greys[k], shapes[k]);
        int area = 0;
        for (bool b : shapes[k]) area += b;
        EXPECT_GT(area, 64 * 64 / 5) << kinds[k] << " is too small to read at 48 pixels";
        // the frames animate: half way round the figure looks different from its rest frame
        std::vector<float> g16;
        std::vector<bool> s16;
        frameOf(p, 12, g16, s16);
        float change = 0;
        for (int i = 0; i < 64 * 64; ++i) change += std::fabs(g16[i] - greys[k][i]);
        EXPECT_GT(change / (64 * 64), 0.01f) << kinds[k] << " does not animate";
    }
    for (int a = 0; a < 8; ++a)
        for (int b = a + 1; b < 8; ++b) {
            int inter = 0, uni = 0;
            float diff = 0;
            for (int i = 0; i < 64 * 64; ++i) {
                inter += shapes[a][i] && shapes[b][i];
                uni += shapes[a][i] || shapes[b][i];
                diff += std::fabs(greys[a][i] - greys[b][i]);
            }
            float iou = float(inter) / float(uni);
            EXPECT_LT(iou, 0.9f) << kinds[a] << " and " << kinds[b] << " have nearly the same outline";
            EXPECT_GT(diff / (64 * 64), 0.04f) << kinds[a] << " and " << kinds[b] << " look alike in greyscale";
        }
}

TEST(DataPictures, ParticleCellsHoldTheirShapesInsideTheCells) {
    REQUIRE_DATA_FILE("exploanim.tga");
    Picture p = decode(dataBytes("exploanim.tga"));
    ASSERT_EQ(p.error, "");
    for (int cell = 0; cell < 64; ++cell) {
        int ox = (cell % 8) * 64, oy = (cell / 8) * 64;
        int lit = 0, edge = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                int a = p.at(ox + x, oy + y, 3);
                lit += a > 32;
                if ((x == 0 || y == 0 || x == 63 || y == 63) && a > 0) ++edge;
            }
        EXPECT_GT(lit, 20) << "cell " << cell << " is empty";
        EXPECT_EQ(edge, 0) << "cell " << cell << " bleeds into its neighbours";
    }
}

TEST(DataPictures, TileKindsAreToldApartAtAGlance) {
    REQUIRE_DATA_FILE("field/field0.tga");
    float mean[3][4] = {};
    for (int t = 0; t < 3; ++t) {
        Picture p = decode(dataBytes("field/field" + std::to_string(t) + ".tga"));
        ASSERT_EQ(p.error, "");
        for (int y = 0; y < p.h; ++y)
            for (int x = 0; x < p.w; ++x)
                for (int c = 0; c < 4; ++c) mean[t][c] += p.at(x, y, c) / 255.f / float(p.w * p.h);
    }
    auto luma = [&](int t) { return (0.299f * mean[t][0] + 0.587f * mean[t][1] + 0.114f * mean[t][2]) * mean[t][3]; };
    EXPECT_GT(std::fabs(luma(0) - luma(1)), 0.15f);
    EXPECT_GT(std::fabs(luma(1) - luma(2)), 0.15f);
    EXPECT_LT(mean[0][3], mean[1][3]) << "the plain cell should let the backdrop through";
}

TEST(DataPictures, EachMaskOpensTheNextPieceAndKeepsTheOpenOnes) {
    REQUIRE_DATA_FILE("mask/mask1.tga");
    const int targets[10][2] = {{73, 33}, {183, 33}, {223, 73}, {223, 183}, {183, 223}, {73, 223}, {33, 183}, {33, 73}, {128, 83}, {128, 173}};
    Picture cover = decode(dataBytes("mask/zaglushka.jpg"));
    ASSERT_EQ(cover.error, "");
    int previousOpen = 0;
    for (int k = 1; k <= 10; ++k) {
        Picture m = decode(dataBytes("mask/mask" + std::to_string(k) + ".tga"));
        ASSERT_EQ(m.error, "") << k;
        ASSERT_EQ(m.w, cover.w);
        ASSERT_EQ(m.h, cover.h);
        // the blue byte is the cover's alpha: black opens, white keeps
        for (int j = 0; j < 10; ++j) {
            int blue = m.at(targets[j][0], targets[j][1], 2);
            if (j < k) {
                EXPECT_LT(blue, 30) << "mask " << k << " keeps piece " << j + 1 << " covered";
            } else {
                EXPECT_GT(blue, 225) << "mask " << k << " already opens piece " << j + 1;
            }
        }
        int open = 0, grey = 0;
        for (int y = 0; y < m.h; ++y)
            for (int x = 0; x < m.w; ++x) {
                open += m.at(x, y, 2) < 128;
                grey += m.at(x, y, 2) > 20 && m.at(x, y, 2) < 235;
            }
        EXPECT_GT(open, previousOpen) << k;
        // only the anti-aliased borders of the open area are grey: no seams left half covered
        EXPECT_LT(grey, m.w * 3) << "mask " << k;
        previousOpen = open;
    }
    EXPECT_EQ(previousOpen, cover.w * cover.h) << "the last mask opens everything";
}

TEST(DataPictures, TrophyPicturesAreListedAndPresent) {
    REQUIRE_DATA_FILE("trophy.txt");
    std::string text = dataBytes("trophy.txt");
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    for (const char* key : {"trophy", "trophylum"})
        for (int i = 1; i <= 17; ++i) {
            std::string k = std::string(key) + std::to_string(i) + "=";
            size_t at = text.find(k);
            ASSERT_NE(at, std::string::npos) << k;
            std::string value = text.substr(at + k.size(), text.find('\r', at) - at - k.size());
            EXPECT_EQ(value.find(' '), std::string::npos) << k;
            Picture p = decode(dataBytes("trophyes/" + value));
            EXPECT_EQ(p.error, "") << value;
            // the hover test needs opaque pixels in the middle of an earned trophy
            if (std::string(key) == "trophy" && p.error.empty()) {
                int opaque = 0;
                for (int y = p.h / 4; y < p.h * 3 / 4; ++y)
                    for (int x = p.w / 4; x < p.w * 3 / 4; ++x) opaque += p.at(x, y, 3) > 200;
                EXPECT_GT(opaque, p.w * p.h / 8) << value;
            }
        }
}

// Added light (source colour, one) ignores alpha: a picture drawn that way must carry no light
// where it is clear, or every spark, glow and droplet shows as a lit square.
TEST(DataPictures, PicturesDrawnWithAddedLightAreDarkWhereClear) {
    REQUIRE_DATA_FILE("exploanim.tga");
    std::vector<std::string> additive;
    // The particle sheet, when an effect adds light (blend type 0, also when the key is absent).
    for (const auto& entry : fs::directory_iterator(fs::path(SANDMERE_DATA_DIR) / "effects")) {
        std::string text = data_files::readLoose(entry.path()).value_or("");
        std::optional<std::string> blend = data_files::keyValue(text, "blendtype=");
        if (!blend || std::atoi(blend->c_str()) == 0) {
            additive.push_back("exploanim.tga");
            break;
        }
    }
    // The spray droplets of the backdrops.
    std::string objects = dataBytes("AnimBacks/gameobjs.txt");
    for (const std::string& line : data_files::crlfLines(objects)) {
        size_t eq = line.find('=');
        if (eq != std::string::npos && line.substr(0, eq).find("spray") != std::string::npos)
            additive.push_back("AnimBacks/" + line.substr(eq + 1, line.find_first_of(" ,", eq + 1) - eq - 1));
    }
    // The trophies' glows.
    std::string trophies = dataBytes("trophy.txt");
    for (int i = 1; i <= 17; ++i) {
        std::optional<std::string> glow = data_files::keyValue(trophies, "trophylum" + std::to_string(i) + "=");
        if (glow) additive.push_back("trophyes/" + *glow);
    }
    ASSERT_EQ(additive.size(), 1u + 1u + 17u);
    for (const std::string& path : additive) {
        Picture p = decode(dataBytes(path));
        ASSERT_EQ(p.error, "") << path;
        int lit = 0, clear = 0;
        for (int y = 0; y < p.h; ++y)
            for (int x = 0; x < p.w; ++x) {
                int a = p.at(x, y, 3);
                clear += a == 0;
                for (int c = 0; c < 3; ++c) lit += p.at(x, y, c) > a;
            }
        EXPECT_GT(clear, 0) << path << " has no clear ground";
        EXPECT_EQ(lit, 0) << path << ": " << lit << " channels carry more light than their alpha";
    }
}

}  // namespace
