// Checks of the forged layouts: backdrop layouts against "gameobjs.txt" and their pictures'
// transparent holes, the water of each backdrop, the journey path, the trophy room and the font.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <set>
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

struct LayoutObject {
    std::string name;
    float x0, y0, x1, y1, angle, speedX, speedY;
    int mirrored, behind;
};

std::vector<LayoutObject> readLayout(const std::string& b) {
    std::vector<LayoutObject> out;
    int32_t n = readAt<int32_t>(b, 64);
    for (int i = 0; i < n; ++i) {
        size_t at = 68 + size_t(i) * 65;
        LayoutObject o;
        o.name = std::string(b.data() + at, strnlen(b.data() + at, 32));
        o.x0 = readAt<float>(b, at + 32);
        o.y0 = readAt<float>(b, at + 36);
        o.x1 = readAt<float>(b, at + 40);
        o.y1 = readAt<float>(b, at + 44);
        o.angle = readAt<float>(b, at + 48);
        o.speedX = readAt<float>(b, at + 52);
        o.speedY = readAt<float>(b, at + 56);
        o.mirrored = uint8_t(b[at + 60]);
        o.behind = readAt<int32_t>(b, at + 61);
        out.push_back(o);
    }
    return out;
}

// name -> file of every entry of "gameobjs.txt", in block order.
std::map<std::string, std::string> readGameObjects(const std::string& text, std::vector<std::string>& groups) {
    std::map<std::string, std::string> entries;
    size_t pos = 0;
    while ((pos = text.find('[', pos)) != std::string::npos) {
        size_t close = text.find("/]", pos);
        if (close == std::string::npos) break;
        std::string group = text.substr(pos + 1, close - pos - 1);
        size_t end = text.find("[/" + group + "]", close);
        if (end == std::string::npos) break;
        groups.push_back(group);
        std::string block = text.substr(close + 2, end - close - 2);
        size_t line = 0;
        while (line < block.size()) {
            size_t eol = block.find("\r\n", line);
            if (eol == std::string::npos) eol = block.size();
            std::string l = block.substr(line, eol - line);
            size_t eq = l.find('=');
            if (eq != std::string::npos) {
                std::string file = l.substr(eq + 1);
                file = file.substr(0, file.find_first_of(" ,"));
                entries.emplace(l.substr(0, eq), file);
            }
            line = eol + 2;
        }
        pos = end + 1;
    }
    return entries;
}

bool contains(const std::string& s, const char* w) { return s.find(w) != std::string::npos; }
// Objects drawn before the backdrop picture: sky, waterfall, water and still objects marked behind.
bool drawnBehind(const LayoutObject& o) {
    if (contains(o.name, "sky") || contains(o.name, "water")) return true;
    if (contains(o.name, "spray") || contains(o.name, "leaves")) return false;
    return o.behind != 0;
}

TEST(DataLayouts, LayoutsNameListedObjectsWithPowerOfTwoPictures) {
    REQUIRE_DATA_SET("AnimBacks/gameobjs.txt");
    std::string text = readFile(dataPath("AnimBacks/gameobjs.txt"));
    std::vector<std::string> groups;
    auto entries = readGameObjects(text, groups);
    ASSERT_GE(entries.size(), 10u);
    EXPECT_LE(entries.size(), 512u);
    for (const auto& [name, file] : entries) {
        EXPECT_LE(name.size(), 31u) << name;
        int w = 0, h = 0, n = 0;
        std::string bytes = readFile(dataPath("AnimBacks/" + file));
        ASSERT_TRUE(stbi_info_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()), int(bytes.size()), &w, &h, &n)) << file;
        EXPECT_TRUE(w > 0 && (w & (w - 1)) == 0 && h > 0 && (h & (h - 1)) == 0) << file << " " << w << "x" << h;
    }
    for (int i = 0; i < 18; ++i) {
        std::string b = readFile(dataPath("AnimBacks/level" + std::to_string(i) + ".lev"));
        ASSERT_GE(b.size(), 68u) << i;
        int32_t n = readAt<int32_t>(b, 64);
        ASSERT_EQ(b.size(), 68u + 65u * size_t(n)) << i;
        EXPECT_LE(n, 128);
        for (const LayoutObject& o : readLayout(b)) {
            EXPECT_TRUE(entries.count(o.name)) << "level" << i << ".lev names " << o.name;
            EXPECT_LT(o.x0, o.x1) << o.name;
            EXPECT_LT(o.y0, o.y1) << o.name;
        }
    }
}

TEST(DataLayouts, EveryHoleOfABackdropIsFilledByAnObjectBehindIt) {
    REQUIRE_DATA_SET("AnimBacks/_a_back0.jpg");
    for (int i = 0; i < 18; ++i) {
        std::string pic = readFile(dataPath("AnimBacks/_a_back" + std::to_string(i) + ".jpg"));
        ASSERT_GT(pic.size(), 480000u) << i;
        const uint8_t* alpha = reinterpret_cast<const uint8_t*>(pic.data()) + pic.size() - 480000;
        auto objects = readLayout(readFile(dataPath("AnimBacks/level" + std::to_string(i) + ".lev")));
        int holes = 0, uncovered = 0;
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x) {
                if (alpha[y * 800 + x] > 128) continue;
                ++holes;
                float lx = x + 0.5f - 400, ly = 300 - (y + 0.5f);
                bool covered = false;
                for (const LayoutObject& o : objects)
                    if (drawnBehind(o) && lx >= o.x0 && lx <= o.x1 && ly >= o.y0 && ly <= o.y1) covered = true;
                uncovered += !covered;
            }
        EXPECT_GT(holes, 1000) << "backdrop " << i << " has no sky or water to show";
        EXPECT_EQ(uncovered, 0) << "backdrop " << i << " shows the bare clear colour";
    }
}

TEST(DataLayouts, BackdropsShowTheWaterTheirAmbiencePlays) {
    REQUIRE_DATA_SET("AnimBacks/level0.lev");
    const std::set<int> brook = {0, 1, 3, 4, 7};
    for (int i = 0; i < 17; ++i) {
        auto objects = readLayout(readFile(dataPath("AnimBacks/level" + std::to_string(i) + ".lev")));
        bool fall = false, water = false;
        for (const LayoutObject& o : objects) {
            if (contains(o.name, "waterfall")) fall = true;
            else if (contains(o.name, "water")) water = true;
        }
        if (brook.count(i)) {
            EXPECT_TRUE(water && !fall) << "backdrop " << i << " should show a brook";
        } else {
            EXPECT_TRUE(fall) << "backdrop " << i << " should show a waterfall";
        }
    }
}

TEST(DataLayouts, JourneyPathHasEvenStepsOnTheMap) {
    REQUIRE_DATA_SET("mapspline.spl");
    std::string b = readFile(dataPath("mapspline.spl"));
    ASSERT_GE(b.size(), 8u);
    int32_t n = readAt<int32_t>(b, 0);
    ASSERT_GE(n, 15);
    ASSERT_EQ(b.size(), 8u + 8u * size_t(n) + 40u);
    float L = readAt<float>(b, 4);
    EXPECT_NEAR(L, 20.f * float(n - 1), 0.01f);
    float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
    for (int i = 0; i < n; ++i) {
        float x = readAt<float>(b, 8 + 8 * size_t(i)) + 400, y = readAt<float>(b, 12 + 8 * size_t(i)) + 330;
        EXPECT_TRUE(x > 40 && x < 984 && y > 40 && y < 984) << "point " << i << " at " << x << "," << y;
        minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y), maxY = std::max(maxY, y);
        if (i > 0) {
            float px = readAt<float>(b, 8 + 8 * size_t(i - 1)) + 400, py = readAt<float>(b, 12 + 8 * size_t(i - 1)) + 330;
            EXPECT_NEAR(std::hypot(x - px, y - py), 20.f, 0.6f) << "step " << i;
        }
    }
    // the path travels over most of the map, so the camera has somewhere to go
    EXPECT_GT(maxX - minX, 600);
    EXPECT_GT(maxY - minY, 600);
}

TEST(DataLayouts, TrophyRoomArrangementFitsTheScreen) {
    REQUIRE_DATA_SET("trophyes/trophy.cfg");
    std::string b = readFile(dataPath("trophyes/trophy.cfg"));
    ASSERT_EQ(b.size(), 1564u);
    for (int i = 0; i < 17; ++i) {
        size_t at = size_t(i) * 92;
        float w = readAt<float>(b, at), h = readAt<float>(b, at + 4), x = readAt<float>(b, at + 8), y = readAt<float>(b, at + 12);
        float scale = readAt<float>(b, at + 20);
        EXPECT_GT(w, 16);
        EXPECT_GT(h, 16);
        EXPECT_GT(scale, 0);
        EXPECT_LE(std::fabs(x) + w / 2, 400) << i;
        EXPECT_LE(std::fabs(y) + h / 2, 300) << i;
        EXPECT_EQ(uint8_t(b[at + 88]), 0) << "trophy " << i << " stored as hovered";
        for (int j = i + 1; j < 17; ++j) {
            float xj = readAt<float>(b, size_t(j) * 92 + 8), yj = readAt<float>(b, size_t(j) * 92 + 12);
            EXPECT_GT(std::hypot(x - xj, y - yj), 40) << "trophies " << i << " and " << j << " overlap";
        }
    }
}

TEST(DataLayouts, FontCoversEveryByteOfTheTexts) {
    REQUIRE_DATA_SET("font.dat");
    std::string dat = readFile(dataPath("font.dat"));
    ASSERT_EQ(dat.size(), 516u);
    EXPECT_EQ(readAt<int32_t>(dat, 0), 16);
    std::string tga = readFile(dataPath("font.tga"));
    int w = 0, h = 0, n = 0;
    unsigned char* px = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(tga.data()), int(tga.size()), &w, &h, &n, 4);
    ASSERT_NE(px, nullptr);
    ASSERT_EQ(w, 512);
    ASSERT_EQ(h, 512);
    auto inked = [&](int c) {
        int cell = uint8_t(dat[260 + c]);
        int ox = (cell % 16) * 32, oy = (cell / 16) * 32, ink = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) ink += px[((oy + y) * 512 + ox + x) * 4 + 3] > 128;
        return ink;
    };
    for (int c = 33; c < 127; ++c) {
        int width = uint8_t(dat[4 + c]);
        EXPECT_GT(width, 2) << "'" << char(c) << "'";
        EXPECT_LE(width, 32) << "'" << char(c) << "'";
        EXPECT_GT(inked(c), 4) << "'" << char(c) << "' has no glyph";
    }
    EXPECT_GT(uint8_t(dat[4 + ' ']), 4);
    // real widths: a wide letter is wider than a narrow one
    EXPECT_GT(uint8_t(dat[4 + 'W']), uint8_t(dat[4 + 'i']) + 8);
    // every byte that the texts use has a width and a glyph
    std::set<int> used;
    for (const auto& entry : fs::recursive_directory_iterator(SANDMERE_DATA_DIR)) {
        std::string ext = entry.path().extension().string();
        if (ext != ".txt") continue;  // level grids use high bytes as codes, not text
        for (unsigned char c : readFile(entry.path()))
            if (c >= 32) used.insert(c);
    }
    for (int c : used) {
        EXPECT_GT(uint8_t(dat[4 + c]), 0) << "byte " << c << " has no width";
        if (c != ' ' && c != 0xA0) {
            EXPECT_GT(inked(c), 2) << "byte " << c << " has no glyph";
        }
    }
    stbi_image_free(px);
}

}  // namespace
