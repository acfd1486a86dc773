// The 18 backdrops (painted landscapes with transparent sky, water and waterfall holes), the
// pictures of their moving objects, and the plans that place those objects.
#include <cstdio>
#include <cstdlib>

#include "art_gem.h"
#include "art_parts.h"
#include "art_scenes.h"

namespace forge::art {

namespace {

enum SkyKind { SkyDay, SkySunset, SkyNight, SkyDusk };
enum LeafKind { LeafGreen, LeafAutumn, LeafBlossom, LeafPine };

struct Palette {
    const char* title;
    uint32_t haze, far, mid, nearTop, nearBottom, rock, tree, flower;
    SkyKind sky;
    LeafKind leaves;
    bool snow;
    Water water;
};

const Palette kPalettes[17] = {
    {"Clover Meadow", 0xbfe0f4, 0x7d9cc0, 0x5f9a48, 0x6cb43c, 0x2f6a22, 0x8a8478, 0x2e5e2a, 0xfff070, SkyDay, LeafGreen, false, Water::Brook},
    {"Birch Wood", 0xcfe6f0, 0x86a8c4, 0x74a850, 0x8cc050, 0x3c7028, 0x9a9284, 0x3e6e30, 0xffffff, SkyDay, LeafGreen, false, Water::Brook},
    {"Glacier Lake", 0xd0e8f8, 0x8aa4cc, 0x4e8a5a, 0x5ea04a, 0x285a26, 0x7c8088, 0x1e4a30, 0xb0d0ff, SkyDay, LeafPine, true, Water::Waterfall},
    {"Amber Vale", 0xf0dcc0, 0xa890a0, 0xb87a34, 0xc09040, 0x6a4218, 0x8a7464, 0x8a3a18, 0xffb040, SkyDay, LeafAutumn, false, Water::Brook},
    {"Sunset Downs", 0xf8c090, 0x9a6a80, 0x7a6a48, 0x8a8a3c, 0x3c3a1c, 0x7a6058, 0x3a3020, 0xffd060, SkySunset, LeafGreen, false, Water::Brook},
    {"Red Canyon", 0xf4dcb8, 0xc08870, 0xb8643a, 0xc8884a, 0x7a3c1c, 0xa4583a, 0x6a6a2a, 0xfff0a0, SkyDay, LeafGreen, false, Water::Waterfall},
    {"Emerald Jungle", 0xc8ecd8, 0x70a090, 0x2e7a3a, 0x3c9a34, 0x124a1a, 0x5a6a58, 0x0e3e18, 0xff6080, SkyDay, LeafGreen, false, Water::Waterfall},
    {"Frost Hollow", 0xe0ecf8, 0xa8bcdc, 0xd8e4f0, 0xeef4fa, 0xa8bccc, 0x8890a0, 0x2a4a48, 0xa0c8ff, SkyDay, LeafPine, true, Water::Brook},
    {"Misty Pines", 0xc8c8d8, 0x8c90a8, 0x4a6a5a, 0x567a4a, 0x223a26, 0x6a6c70, 0x1a3426, 0xd0d0ff, SkyDusk, LeafPine, false, Water::Waterfall},
    {"Gull Cliffs", 0xd4ecf8, 0x88b0cc, 0x6aa050, 0x7cb050, 0x3a6a2a, 0xb0a894, 0x3a6432, 0xffffff, SkyDay, LeafGreen, false, Water::Waterfall},
    {"Blossom Falls", 0xf0e0f0, 0xb0a0c8, 0x7aa860, 0x8cc060, 0x3a6a30, 0x9a8c90, 0xd888b0, 0xffc0e0, SkyDay, LeafBlossom, false, Water::Waterfall},
    {"Ember Peaks", 0xf0a070, 0x7a4a50, 0x5a4034, 0x6a5030, 0x2a1a10, 0x4a3a36, 0x2a2018, 0xff8030, SkySunset, LeafAutumn, false, Water::Waterfall},
    {"Violet Gorge", 0xc8b0e0, 0x7a6aa0, 0x4a5a6a, 0x566a5a, 0x202a30, 0x6a6480, 0x24303a, 0xe0a0ff, SkyDusk, LeafGreen, false, Water::Waterfall},
    {"Golden Fields", 0xf8dca0, 0xb0907a, 0xb09a40, 0xd0b050, 0x7a6020, 0x9a8468, 0x5a5a20, 0xffe080, SkySunset, LeafAutumn, false, Water::Waterfall},
    {"Moonlit Falls", 0x4a5a88, 0x2c3458, 0x1e3a38, 0x24463a, 0x0c1a16, 0x3a4050, 0x0c2018, 0xc0d0ff, SkyNight, LeafPine, false, Water::Waterfall},
    {"Sandmere Valley", 0xc8e6f8, 0x7c9cc8, 0x5c9a4c, 0x70b040, 0x2e6424, 0x8c8478, 0x2a5a28, 0xfff080, SkyDay, LeafGreen, false, Water::Waterfall},
    {"Crystal Grotto", 0x8090b0, 0x4a5270, 0x3a5a58, 0x4a6a50, 0x18282a, 0x505a6a, 0x1a3430, 0x80e0ff, SkyDusk, LeafGreen, false, Water::Waterfall},
};

const char* kSkyNames[4] = {"skyday", "skysunset", "skynight", "skydusk"};
const char* kLeafNames[4][2] = {{"leaves1", "leaves2"}, {"leavesautumn", "leavesautumn2"}, {"leavesblossom", "leavesblossom2"}, {"leavespine", "leavespine2"}};


}  // namespace

BackdropPlan backdropPlan(int index) {
    BackdropPlan p;
    p.index = index;
    if (index == 17) {
        p.title = "Hall of Trophies";
        p.indoor = true;
        p.water = Water::Waterfall;
        p.fallX = 400;
        p.fallW = 120;
        p.fallTop = 150;
        p.fallBottom = 430;
        p.palette = 16;
        SceneObject sky{"skydusk", -400, -175, 400, 300};
        p.objects.push_back(sky);
        p.objects.push_back({"waterfall", -62, 300 - 434.f, 62, 300 - 146.f, 0, 0, 90});
        p.objects.push_back({"waterpool", -110, 300 - 470.f, 110, 300 - 420.f, 0, 30, 0});
        p.objects.push_back({"spray", -60, 300 - 450.f, 60, 300 - 420.f});
        p.objects.push_back({"lantern", -330, 230, -266, 294});
        p.objects.push_back({"lantern", 266, 230, 330, 294, 0, 0, 0, true});
        return p;
    }
    const Palette& pal = kPalettes[index];
    p.title = pal.title;
    p.palette = index;
    p.water = pal.water;
    Rng rng(500u + uint32_t(index));
    p.skyline = 200 + rng.range(-30, 40);
    if (pal.water == Water::Waterfall) {
        p.fallX = rng.range(430, 690);
        p.fallW = rng.range(60, 100);
        p.fallTop = p.skyline + rng.range(-40, 10);
        p.fallBottom = p.fallTop + rng.range(200, 260);
    } else {
        p.brookY = rng.range(470, 520);
    }
    float skyBottom = p.skyline + 40;  // the mountains never dip below this row
    p.objects.push_back({kSkyNames[pal.sky], -400, 300 - skyBottom, 400, 300});
    if (pal.sky == SkyNight) p.objects.push_back({"moon", 150, 170, 246, 266, 0, 0, 0, false, 1});
    else if (pal.sky == SkySunset) p.objects.push_back({"sun", -150, 300 - p.skyline - 10, 10, 300 - p.skyline + 150, 0, 0, 0, false, 1});
    else p.objects.push_back({"sun", rng.range(-300, 200), 150, 0, 0, 0, 0, 0, false, 1});
    if (pal.sky != SkyNight && pal.sky != SkySunset) {
        SceneObject& sun = p.objects.back();
        sun.x1 = sun.x0 + 110;
        sun.y1 = sun.y0 + 110;
    }
    if (pal.water == Water::Waterfall) {
        float x0 = p.fallX - p.fallW / 2 - 4 - 400, x1 = p.fallX + p.fallW / 2 + 4 - 400;
        bool night = pal.sky == SkyNight;
        p.objects.push_back({night ? "waterfallnight" : "waterfall", x0, 300 - p.fallBottom - 6, x1, 300 - p.fallTop + 4, 0, 0, 90});
        float pw = p.fallW * 1.5f + 10;
        p.objects.push_back({night ? "waternight" : "waterpool", p.fallX - pw - 400, 300 - p.fallBottom - 40,
                             p.fallX + pw - 400, 300 - p.fallBottom + 6, 0, 30, 0});
        p.objects.push_back({"spray", p.fallX - p.fallW * 0.8f - 400, 300 - p.fallBottom - 22, p.fallX + p.fallW * 0.8f - 400,
                             300 - p.fallBottom + 8});
    } else {
        p.objects.push_back({pal.sky == SkyNight ? "waternight" : "water", -400, 300 - p.brookY - 70, 400, 300 - p.brookY + 70, 0, 40, 6});
    }
    // swinging branches from the top corners
    const char* const* leaves = kLeafNames[pal.leaves];
    float grey = pal.sky == SkyNight ? 110.f : (pal.sky == SkyDusk ? 50.f : 0.f);
    p.objects.push_back({leaves[0], -430, 150, -150, 290, -8, grey, 0, false, 0});
    p.objects.push_back({leaves[1], 170, 170, 430, 300, 10, grey, 0, true, 0});
    if (index % 3 == 0) p.objects.push_back({"chest", 280, -280, 376, -184});
    else if (index % 3 == 1) p.objects.push_back({"rocks", -260, -300, -132, -236});
    return p;
}

const std::vector<GameObjectFile>& gameObjectFiles() {
    static const std::vector<GameObjectFile> files = {
        {"skies", "skyday", "sky_day.jpg"},          {"skies", "skysunset", "sky_sunset.jpg"},
        {"skies", "skynight", "sky_night.jpg"},      {"skies", "skydusk", "sky_dusk.jpg"},
        {"skies", "sun", "sun.tga"},                 {"skies", "moon", "moon.tga"},
        {"waters", "waterfall", "fall_day.jpg"},     {"waters", "waterfallnight", "fall_night.jpg"},
        {"waters", "water", "brook_day.jpg"},        {"waters", "waterpool", "pool_day.jpg"},
        {"waters", "waternight", "brook_night.jpg"}, {"waters", "spray", "spray.tga"},
        {"branches", "leaves1", "branch_green.tga"}, {"branches", "leaves2", "branch_green2.tga"},
        {"branches", "leavesautumn", "branch_autumn.tga"}, {"branches", "leavesautumn2", "branch_autumn2.tga"},
        {"branches", "leavesblossom", "branch_blossom.tga"}, {"branches", "leavesblossom2", "branch_blossom2.tga"},
        {"branches", "leavespine", "branch_pine.tga"}, {"branches", "leavespine2", "branch_pine2.tga"},
        {"props", "chest", "chest.tga"},             {"props", "rocks", "rocks.tga"},
        {"props", "lantern", "lantern.tga"},
    };
    return files;
}

TrophySpot trophySpot(int t) {
    // three shelves a side: three, three and two spots; the seventeenth on the pedestal
    if (t == 16) return TrophySpot{0, -220, 80};
    int side = t / 8, k = t % 8;
    int shelf = k < 3 ? 0 : (k < 6 ? 1 : 2);
    int slot = k < 3 ? k : (k < 6 ? k - 3 : k - 6);
    float rowY = 300 - (160.f + shelf * 140.f) + 36;
    float x = shelf < 2 ? -340.f + slot * 80.f : -300.f + slot * 80.f;
    if (side == 1) x = -x;
    return TrophySpot{x, rowY, 64};
}

namespace {

// Sky pictures: 256 x 256, seamless across, gradient and clouds.
Image skyPicture(SkyKind kind) {
    Image im(256, 256);
    Col top, bottom, cloud;
    switch (kind) {
        case SkyDay: top = hex(0x3a7ad0); bottom = hex(0xc4e4f8); cloud = hex(0xffffff); break;
        case SkySunset: top = hex(0x4a4a90); bottom = hex(0xffa860); cloud = hex(0xffd0b0); break;
        case SkyNight: top = hex(0x060a20); bottom = hex(0x283a6a); cloud = hex(0x50608a); break;
        default: top = hex(0x3a3a78); bottom = hex(0xd0a0c0); cloud = hex(0xf0d0e8); break;
    }
    shade(im, [&](float x, float y, Col) {
        float t = y / 256.f;
        Col c = mix(top, bottom, std::pow(t, 1.2f));
        float n = fbm(x / 64.f, y / 40.f, 31u + uint32_t(kind), 5, 4, 0);
        float cl = smooth(0.5f, 0.78f, n) * (0.35f + 0.65f * std::sin(t * kPi));
        c = mix(c, cloud, cl * 0.85f);
        if (kind == SkyNight) {
            float st = valueNoise(x * 0.9f, y * 0.9f, 77, 230, 0);
            if (st > 0.93f && t < 0.75f) c = lighten(c, (st - 0.93f) * 12);
        }
        c.a = 1;
        return c;
    });
    return im;
}

Image waterfallPicture(bool night) {
    Image im(128, 256);
    Col deep = night ? hex(0x1a2a48) : hex(0x5a9ac0), foam = night ? hex(0x9ab0d8) : hex(0xf4fbff);
    shade(im, [&](float x, float y, Col) {
        float streak = fbm(x / 6.f, y / 64.f, 5, 3, 21, 4);
        float fine = valueNoise(x / 2.f, y / 16.f, 9, 64, 16);
        float t = smooth(0.35f, 0.75f, streak * 0.8f + fine * 0.3f);
        Col c = mix(deep, foam, t);
        c.a = 1;
        return c;
    });
    return im;
}

Image waterPicture(int kind) {  // 0 brook, 1 pool, 2 night
    Image im(256, 256);
    Col deep = kind == 2 ? hex(0x0e1a34) : (kind == 1 ? hex(0x2a6a88) : hex(0x3a86a8));
    Col light = kind == 2 ? hex(0x6a80b0) : hex(0xd8f0ff);
    shade(im, [&](float x, float y, Col) {
        float n = fbm(x / 32.f, y / 12.f, 13u + uint32_t(kind), 4, 8, 21);
        float ripple = std::pow(std::fabs(std::sin((n * 6 + y / 256.f * 2 * kPi) * kPi)), 12.f);
        Col c = mix(deep, lighten(deep, 0.25f), n);
        c = mix(c, light, ripple * 0.6f);
        c.a = 1;
        return c;
    });
    return im;
}

Image glowBlob(int size, Col c, float hard) {
    Image im(size, size, withAlpha(c, 0));
    float r = size / 2.f;
    shade(im, [&](float x, float y, Col) {
        float d = std::hypot(x - r, y - r) / r;
        Col o = c;
        o.a = std::pow(clamp01(1 - d), hard);
        return o;
    });
    return im;
}

Image sunPicture(bool moon) {
    Image im(128, 128);
    if (!moon) {
        Image g = glowBlob(128, hex(0xfff4c0), 2.5f);
        blit(im, g, 0, 0);
        fill(im, 0, 0, 128, 128, [](float x, float y) { return sdCircle(x, y, 64, 64, 20); },
             [](float x, float y, float) { return mix(hex(0xffffff), hex(0xffe070), clamp01(std::hypot(x - 64, y - 64) / 20)); });
        return im;
    }
    Image g = glowBlob(128, hex(0xa0b8ff), 3.f);
    blit(im, g, 0, 0);
    fill(im, 0, 0, 128, 128, [](float x, float y) { return sdCircle(x, y, 64, 64, 26); },
         [](float x, float y, float) {
             float n = fbm(x / 10, y / 10, 3, 3);
             return mix(hex(0xfafcff), hex(0xb8c0d8), smooth(0.45f, 0.7f, n));
         });
    return im;
}

// The droplets add light: black where clear.
Image sprayPicture() { return premultiplied(glowBlob(64, hex(0xe8f4ff), 1.6f)); }

// A branch growing from the middle of the left edge to the right, leaves along it.
Image branchPicture(LeafKind kind, int variant) {
    Image im(256, 128);
    Rng rng(900u + uint32_t(kind) * 7 + uint32_t(variant));
    Col bark = hex(0x4a3222);
    Col leafA, leafB;
    switch (kind) {
        case LeafGreen: leafA = hex(variant ? 0x5aa83a : 0x3a8a2e); leafB = hex(0x9ad060); break;
        case LeafAutumn: leafA = hex(variant ? 0xd8701c : 0xc04418); leafB = hex(0xf0c040); break;
        case LeafBlossom: leafA = hex(variant ? 0xf0a0c8 : 0xe888b8); leafB = hex(0xffffff); break;
        default: leafA = hex(variant ? 0x2a6a40 : 0x1e5a34); leafB = hex(0x5a9a60); break;
    }
    auto stemY = [&](float x) { return 64 + 10 * std::sin(x / 60.f + variant) - x * 0.05f; };
    fill(im, 0, 0, 256, 128,
         [&](float x, float y) { return std::fabs(y - stemY(x)) - (5.5f - x * 0.018f); },
         [&](float, float y, float) { return y < 60 ? lighten(bark, 0.2f) : bark; });
    // twigs
    for (int i = 0; i < 7; ++i) {
        float x = 40 + i * 30.f + rng.range(-6, 6);
        float dir = (i % 2) ? -1.f : 1.f;
        float ex = x + rng.range(16, 30), ey = stemY(x) + dir * rng.range(18, 34);
        fill(im, x - 2, std::min(stemY(x), ey) - 4, ex + 2, std::max(stemY(x), ey) + 4,
             [&](float px, float py) { return sdSegment(px, py, x, stemY(x), ex, ey) - 1.8f; },
             [&](float, float, float) { return bark; });
    }
    int count = kind == LeafPine ? 120 : 60;
    for (int i = 0; i < count; ++i) {
        float x = rng.range(24, 246);
        float sy = stemY(x);
        float y = sy + rng.range(-40, 40) * std::min(1.f, x / 80.f);
        float len = kind == LeafPine ? rng.range(10, 18) : rng.range(12, 20) * (1 - x / 500.f);
        float a = std::atan2(y - sy, 20.f) + rng.range(-0.6f, 0.6f);
        float ca = std::cos(a), sa = std::sin(a);
        float wid = kind == LeafPine ? 1.6f : len * 0.42f;
        Col c = mix(leafA, leafB, rng.range(0, 0.5f));
        if (kind == LeafBlossom && rng.unit() < 0.3f) c = hex(0x6aa84a);
        fill(im, x - len - 2, y - len - 2, x + len + 2, y + len + 2,
             [&](float px, float py) {
                 float u = (px - x) * ca + (py - y) * sa, v = -(px - x) * sa + (py - y) * ca;
                 return sdEllipse(u, v, len / 2, 0, len / 2, wid);
             },
             [&](float px, float py, float d) {
                 float u = (px - x) * ca + (py - y) * sa, v = -(px - x) * sa + (py - y) * ca;
                 Col o = v < 0 ? lighten(c, 0.18f) : darken(c, 0.12f);
                 o = darken(o, smooth(-1.5f, 0, d) * 0.35f);
                 (void)u;
                 return o;
             });
    }
    return im;
}

Image chestPicture() {
    Image im(128, 128);
    Col wood = hex(0x8a4a22), band = hex(0xd8a838);
    GemStyle st;
    st.base = wood;
    st.bevel = 0.15f;
    st.gloss = 0.2f;
    paintGem(im, 64, 80, 50, [](float x, float y) { return sdBox(x, y, 64, 84, 50, 30, 4); }, st);
    paintGem(im, 64, 48, 50, [](float x, float y) { return std::max(sdEllipse(x, y, 64, 58, 50, 30), y - 58.f); }, st);
    for (float bx : {30.f, 98.f})
        fill(im, bx - 8, 20, bx + 8, 118, [&](float x, float y) { return std::max(sdBox(x, y, bx, 80, 5, 34, 1), -sdEllipse(x, y, 64, 58, 200, 100)); },
             [&](float, float, float) { return band; });
    // gold spilling out of the lid
    Rng rng(42);
    for (int i = 0; i < 18; ++i) {
        float cx = rng.range(24, 104), cy = rng.range(50, 60);
        GemStyle g;
        g.base = hex(0xffc830);
        g.shadow = 0.2f;
        g.bevel = 0.5f;
        paintGem(im, cx, cy, 6, [&](float x, float y) { return sdEllipse(x, y, cx, cy, 6, 4); }, g);
    }
    GemStyle lock;
    lock.base = band;
    paintGem(im, 64, 70, 9, [](float x, float y) { return sdBox(x, y, 64, 72, 8, 10, 2); }, lock);
    return im;
}

Image rocksPicture() {
    Image im(128, 64);
    Rng rng(77);
    for (int i = 0; i < 5; ++i) {
        float cx = 14 + i * 25.f + rng.range(-4, 4), r = rng.range(14, 22), cy = 64 - r * 0.7f;
        GemStyle st;
        st.base = mix(hex(0x7a7a72), hex(0x9a9484), rng.unit());
        st.bevel = 0.6f;
        st.gloss = 0.15f;
        st.outline = 0.4f;
        paintGem(im, cx, cy, r, [&](float x, float y) { return sdEllipse(x, y, cx, cy, r, r * 0.75f); }, st);
    }
    return im;
}

Image lanternPicture() {
    Image im(64, 64);
    Image g = glowBlob(64, hex(0xffd080), 2.f);
    blit(im, g, 0, 0);
    GemStyle st;
    st.base = hex(0xffe8a0);
    st.gloss = 0.8f;
    paintGem(im, 32, 34, 12, [](float x, float y) { return sdBox(x, y, 32, 34, 9, 12, 4); }, st);
    fill(im, 0, 0, 64, 64, [](float x, float y) { return std::min(sdBox(x, y, 32, 20, 11, 3, 1), sdBox(x, y, 32, 48, 11, 3, 1)); },
         [](float, float, float) { return hex(0x3a2a1a); });
    return im;
}

// ---- landscape painting -------------------------------------------------------------------

struct Ridge {
    float base, amp, scale;
    uint32_t seed;
    bool sharp;
    float at(float x) const {
        float n = fbm(x / scale, 3.7f, seed, 5);
        if (sharp) n = 1 - std::fabs(n * 2 - 1);
        return base - amp * n;
    }
};

void layer(Image& im, const std::vector<float>& top, int fromRow, auto colour) {
    for (int y = fromRow; y < im.h; ++y)
        for (int x = 0; x < im.w; ++x) {
            float cov = clamp01(y + 0.5f - top[x] + 0.5f);
            if (cov <= 0) continue;
            over(im.at(x, y), colour(x + 0.5f, y + 0.5f, y + 0.5f - top[x]), cov);
        }
}

void paintTree(Image& im, float x, float baseY, float h, Col c, bool conifer, Rng& rng) {
    if (conifer) {
        for (int k = 0; k < 3; ++k) {
            float ty = baseY - h + k * h * 0.25f, w = h * (0.22f + k * 0.1f);
            Poly p;
            p.add(x, ty);
            p.add(x + w, ty + h * 0.45f);
            p.add(x - w, ty + h * 0.45f);
            fill(im, x - w - 1, ty - 1, x + w + 1, ty + h * 0.45f + 1, [&](float px, float py) { return sdPoly(p, px, py); },
                 [&](float px, float, float) { return px < x ? lighten(c, 0.08f) : darken(c, 0.1f); });
        }
        return;
    }
    fill(im, x - 2, baseY - h * 0.5f, x + 2, baseY, [&](float px, float py) { return sdBox(px, py, x, baseY - h * 0.25f, 1.5f, h * 0.25f); },
         [&](float, float, float) { return hex(0x3a2a1a); });
    for (int k = 0; k < 4; ++k) {
        float cx = x + rng.range(-h * 0.2f, h * 0.2f), cy = baseY - h * 0.6f + rng.range(-h * 0.2f, h * 0.1f), r = h * rng.range(0.22f, 0.32f);
        fill(im, cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1, [&](float px, float py) { return sdCircle(px, py, cx, cy, r); },
             [&](float px, float py, float) {
                 float l = ((px - cx) * -0.6f + (py - cy) * -0.8f) / r;
                 return l > 0 ? lighten(c, l * 0.18f) : darken(c, -l * 0.2f);
             });
    }
}

Image outdoorBackdrop(const BackdropPlan& plan) {
    const Palette& pal = kPalettes[plan.palette];
    uint32_t seed = 1000u + uint32_t(plan.index) * 17;
    Image im(800, 600, withAlpha(hex(pal.haze), 0));
    Rng rng(seed);
    bool dark = pal.sky == SkyNight;
    Col haze = hex(pal.haze), farC = hex(pal.far);
    // mountain massifs: ridged noise lit from the left, paler and hazier with distance
    auto massif = [&](float base, float amp, float scaleX, uint32_t s, float hazeK) {
        Ridge r{base, amp, scaleX, s, true};
        std::vector<float> top(800), snowAt(800);
        for (int x = 0; x < 800; ++x) {
            top[x] = r.at(float(x));
            snowAt[x] = (pal.snow ? 60.f : 18.f) + 26 * fbm(x / 35.f, 7.5f, s + 42, 3);
        }
        // relief of the rock faces, only where the massif is
        std::vector<float> relief(size_t(800) * 600, 0.f);
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x)
                if (y + 4 >= top[x]) relief[size_t(y) * 800 + x] = 1 - std::fabs(2 * fbm(x / 70.f, y / 45.f, s + 40, 5) - 1);
        auto rel = [&](int x, int y) { return relief[size_t(y) * 800 + std::clamp(x, 0, 799)]; };
        layer(im, top, 0, [&](float x, float y, float depth) {
            int ix = int(x), iy = int(y);
            float ridgeSlope = (top[std::max(0, ix - 3)] - top[std::min(799, ix + 3)]) / 8;
            float slope = (rel(ix - 2, iy) - rel(ix + 2, iy)) * 1.2f + ridgeSlope * std::exp(-depth / 45);
            Col c = scale(farC, 0.92f + 0.16f * valueNoise(x / 12, y / 12, s + 41));
            c = slope > 0 ? lighten(c, std::min(0.35f, slope * 0.5f)) : darken(c, std::min(0.35f, -slope * 0.45f));
            if (pal.snow || pal.sky != SkyNight) {
                float snowLine = snowAt[ix];
                float cover = smooth(snowLine, snowLine - 12, depth) * smooth(-0.6f, -0.1f, slope);
                c = mix(c, dark ? hex(0x8090b8) : hex(0xf6f8ff), cover * (pal.snow ? 0.85f : 0.6f));
            }
            c = mix(c, haze, hazeK + (1 - hazeK) * 0.6f * smooth(20, 190, depth));
            return withAlpha(c, 1);
        });
    };
    massif(plan.skyline + 10, 120, 210, seed + 1, 0.45f);
    massif(plan.skyline + 50, 140, 150, seed + 2, 0.18f);
    // rolling hills with lit crests and meadow patches
    Ridge mid{plan.skyline + 110, 60, 130, seed + 3, false};
    std::vector<float> topMid(800), topNear(800);
    for (int x = 0; x < 800; ++x) topMid[x] = mid.at(float(x));
    Ridge nearR{plan.skyline + 225, 40, 170, seed + 4, false};
    for (int x = 0; x < 800; ++x) topNear[x] = nearR.at(float(x));
    Col midC = hex(pal.mid);
    layer(im, topMid, 0, [&](float x, float y, float depth) {
        float patches = fbm(x / 70, y / 22, seed + 7, 4);
        Col c = scale(midC, 0.8f + 0.35f * patches);
        c = lighten(c, 0.22f * (1 - smooth(0, 26, depth)));
        c = mix(c, haze, 0.28f * (1 - smooth(0, 90, depth)));
        c = darken(c, 0.25f * smooth(40, 160, depth));
        return withAlpha(c, 1);
    });
    // trees along the hills' crest
    Col treeC = mix(hex(pal.tree), haze, 0.18f);
    Rng trees(seed + 30);
    for (float x = trees.range(0, 10); x < 800; x += trees.range(6, 18)) {
        float h = trees.range(16, 32);
        paintTree(im, x, topMid[std::clamp(int(x), 0, 799)] + trees.range(3, 9), h, treeC, pal.leaves == LeafPine || trees.unit() < 0.3f, trees);
    }
    // a cliff that carries the waterfall, grass on its top
    if (plan.water == Water::Waterfall) {
        Rng shape(seed + 77);
        float cx = plan.fallX, half = plan.fallW / 2 + shape.range(40, 110);
        float spread = shape.range(0.15f, 0.6f), dome = shape.range(0.005f, 0.05f), lean = shape.range(-0.12f, 0.12f);
        Col rock = hex(pal.rock);
        auto topEdge = [&](float x) { return plan.fallTop - 16 + 14 * fbm(x / 26, 0.5f, seed + 9, 3) + dome * (x - cx) * (x - cx) / half * 1.5f; };
        auto width = [&](float y) { return half + std::max(0.f, y - plan.fallTop) * spread + 14 * (fbm(y / 30, 3.5f, seed + 8, 3) - 0.5f); };
        auto centre = [&](float y) { return cx + lean * std::max(0.f, y - plan.fallTop); };
        fill(im, cx - half - 260, plan.fallTop - 60, cx + half + 260, plan.fallBottom + 30,
             [&](float x, float y) { return std::max(std::fabs(x - centre(y)) - width(y), topEdge(x) - y); },
             [&](float x, float y, float d) {
                 float strata = fbm(x / 9, y / 70, seed + 10, 4);
                 float ledges = fbm(x / 60, y / 7, seed + 12, 3);
                 Col c = scale(rock, 0.66f + 0.42f * strata + 0.15f * ledges);
                 float side = (x - centre(y)) / width(y);
                 c = side < 0 ? lighten(c, 0.16f * -side) : darken(c, 0.3f * side);
                 c = darken(c, 0.35f * smooth(-14, 0, d) * (side > 0 ? 1.f : 0.4f));
                 float wet = std::fabs(x - cx) - plan.fallW / 2;
                 if (wet > 0 && wet < 12) c = darken(c, 0.35f * (1 - wet / 12));
                 float grass = y - topEdge(x);
                 if (grass < 7 + 5 * fbm(x / 8, 1.5f, seed + 13, 2)) c = mix(lighten(midC, 0.1f), midC, grass / 12);
                 return withAlpha(c, 1);
             });
        Rng bush(seed + 31);
        for (int i = 0; i < 9; ++i) {
            float x = cx + bush.range(-half, half);
            if (std::fabs(x - cx) < plan.fallW / 2 + 8) continue;
            paintTree(im, x, topEdge(x) + 4, bush.range(16, 26), treeC, pal.leaves == LeafPine, bush);
        }
    }
    Col nearTop = hex(pal.nearTop), nearBottom = hex(pal.nearBottom);
    layer(im, topNear, 0, [&](float x, float y, float depth) {
        float t = clamp01((y - 300) / 300);
        Col c = mix(nearTop, nearBottom, t);
        float n = fbm(x / 40, y / 14, seed + 14, 4);
        float blades = valueNoise(x / 1.5f, y / 7, seed + 15);
        c = scale(c, 0.8f + 0.3f * n + 0.08f * blades);
        c = lighten(c, 0.25f * (1 - smooth(0, 8, depth)));
        return withAlpha(c, 1);
    });
    // shrubs along the near ground's crest
    {
        Rng shrubs(seed + 32);
        Col leaf = darken(mix(hex(pal.nearTop), hex(pal.mid), 0.4f), 0.2f);
        if (dark) leaf = darken(leaf, 0.3f);
        for (float x = shrubs.range(20, 60); x < 780; x += shrubs.range(50, 120)) {
            if (plan.water == Water::Waterfall && std::fabs(x - plan.fallX) < plan.fallW * 1.6f + 30) continue;
            float base = topNear[std::clamp(int(x), 0, 799)] + 8;
            int blobs = shrubs.irange(3, 5);
            for (int k = 0; k < blobs; ++k) {
                float bx = x + shrubs.range(-16, 16), by = base - shrubs.range(4, 14), r = shrubs.range(8, 15);
                Col tone = mix(leaf, lighten(leaf, 0.2f), shrubs.unit());
                fill(im, bx - r - 3, by - r - 3, bx + r + 3, by + r + 3, [&](float px, float py) { return sdCircle(px, py, bx + 1, by + 2, r); },
                     [&](float, float, float) { return Col{0, 0, 0, 0.25f}; }, 3.f);
                fill(im, bx - r - 2, by - r - 2, bx + r + 2, by + r + 2,
                     [&](float px, float py) { return sdCircle(px, py, bx, by, r) + 0.7f * std::sin(std::atan2(py - by, px - bx) * 5 + k); },
                     [&](float px, float py, float d) {
                         float l = ((px - bx) * -0.6f + (py - by) * -0.8f) / r;
                         Col c = l > 0 ? lighten(tone, l * 0.22f) : darken(tone, -l * 0.3f);
                         float dapple = valueNoise(px / 3, py / 3, seed + 33);
                         c = scale(c, 0.9f + 0.2f * dapple);
                         return darken(c, smooth(-1.5f, 0, d) * 0.3f);
                     });
            }
        }
    }
    // flowers and grass tufts on the near ground
    Col flower = dark ? darken(hex(pal.flower), 0.45f) : hex(pal.flower);
    Col flower2 = dark ? hex(0x506080) : lighten(hex(pal.flower), 0.6f);
    for (int i = 0; i < 200; ++i) {
        float x = rng.range(0, 800);
        float y = rng.range(topNear[int(x)] + 10, 600);
        if (plan.water == Water::Brook && std::fabs(y - plan.brookY) < 56) continue;
        float k = (y - 300) / 300;
        // a tuft of grass blades
        Col grass = darken(hex(pal.nearTop), 0.3f);
        for (int b = -2; b <= 2; ++b) {
            float tx = x + b * 2.2f * (0.6f + k), ty = y - (7 + 6 * k) * (1 - 0.15f * std::abs(b));
            fill(im, std::min(x, tx) - 2, ty - 2, std::max(x, tx) + 2, y + 2, [&](float px, float py) { return sdSegment(px, py, x + b, y, tx, ty) - 0.7f; },
                 [&](float, float, float) { return grass; });
        }
        if (rng.unit() < 0.55f) {
            float r = 1.3f + 1.8f * k;
            Col c = rng.unit() < 0.7f ? flower : flower2;
            fill(im, x - r - 1, y - 8 - r - 1, x + r + 1, y - 8 + r + 1, [&](float px, float py) { return sdCircle(px, py, x, y - 7 - 5 * k, r); },
                 [&](float px, float py, float) { return (px - x) + (py - y) < -8 ? lighten(c, 0.3f) : c; });
        }
    }
    // holes: waterfall, its pool, or the brook
    auto cut = [&](auto holeDist) {
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x) {
                float d = holeDist(x + 0.5f, y + 0.5f);
                float keep = clamp01(d + 0.5f);
                Col& c = im.at(x, y);
                // banks: dark wet edge round the hole
                if (d > 0 && d < 6) c = darken(c, (1 - d / 6) * 0.45f);
                c.a = std::min(c.a, keep);
            }
    };
    if (plan.water == Water::Waterfall) {
        float cx = plan.fallX, hw = plan.fallW / 2;
        cut([&](float x, float y) {
            float wob = 3 * std::sin(y / 23.f + plan.index);
            float fallD = std::max(std::fabs(x - cx - wob) - hw, std::max(plan.fallTop - y, y - plan.fallBottom - 4));
            float poolD = sdEllipse(x, y, cx, plan.fallBottom + 12, hw * 1.5f + 8, 20);
            return std::min(fallD, poolD);
        });
        // boulders round the pool
        for (int i = 0; i < 7; ++i) {
            float a = kPi * (0.05f + 0.9f * i / 6);
            float bx = plan.fallX + std::cos(a) * (plan.fallW * 0.8f + 18), by = plan.fallBottom + 16 + std::sin(a) * 18;
            float r = rng.range(7, 12);
            GemStyle st;
            st.base = hex(pal.rock);
            st.gloss = 0.15f;
            st.bevel = 0.6f;
            st.outline = 0.35f;
            st.shadow = 0.3f;
            paintGem(im, bx, by, r, [&](float x, float y) { return sdEllipse(x, y, bx, by, r, r * 0.7f); }, st);
        }
    } else {
        cut([&](float x, float y) {
            float yc = plan.brookY + 26 * std::sin(x / 120.f + plan.index) + 8 * std::sin(x / 37.f);
            float hw = 14 + x / 800 * 14;
            return std::fabs(y - yc) - hw;
        });
    }
    // side trees framing the view
    for (int side = 0; side < 2; ++side) {
        float x = side ? 790.f : 10.f;
        fill(im, x - 30, 0, x + 30, 600, [&](float px, float py) { return std::fabs(px - x - 4 * std::sin(py / 50)) - (14 + py / 60); },
             [&](float px, float py, float) {
                 Col bark = hex(0x3a2818);
                 float n = fbm(px / 4, py / 30, seed + 20, 3);
                 return withAlpha(scale(bark, 0.7f + 0.5f * n), 1);
             });
    }
    // vignette
    shade(im, [&](float x, float y, Col c) {
        float dx = (x - 400) / 400, dy = (y - 300) / 300;
        float v = clamp01(1 - 0.28f * (dx * dx + dy * dy));
        if (c.a > 0) c = scale(c, v);
        return c;
    });
    return im;
}

Image trophyHall(const BackdropPlan& plan) {
    Image im(800, 600, hex(0x6a6478));
    uint32_t seed = 4242;
    // stone blocks
    shade(im, [&](float x, float y, Col) {
        int row = int(y / 32);
        float off = (row % 2) * 24;
        float bx = std::fmod(x + off, 48.f), by = std::fmod(y, 32.f);
        float mortar = std::min(std::min(bx, 48 - bx), std::min(by, 32 - by));
        float n = fbm(x / 20, y / 20, seed, 4);
        float blockTone = valueNoise(std::floor((x + off) / 48), float(row), seed + 1);
        Col c = mix(hex(0x5a5468), hex(0x8a8296), 0.3f * blockTone + 0.5f * n);
        c = darken(c, smooth(3, 0, mortar) * 0.5f);
        float dy = (y - 300) / 300, dx = (x - 400) / 400;
        c = scale(c, 0.95f - 0.35f * (dx * dx + dy * dy * 0.5f));
        return withAlpha(c, 1);
    });
    // two round windows and the great arch with the waterfall
    auto archDist = [](float x, float y, float cx, float top, float bottom, float hw) {
        float body = std::max(std::fabs(x - cx) - hw, std::max(top + hw - y, y - bottom));
        float cap = sdCircle(x, y, cx, top + hw, hw);
        return std::min(body, std::max(cap, y - (top + hw)));
    };
    auto holes = [&](float x, float y) {
        float d = archDist(x, y, 400, 60, 460, 80);
        // two round windows high over the shelves
        d = std::min(d, sdCircle(x, y, 200, 54, 30));
        d = std::min(d, sdCircle(x, y, 600, 54, 30));
        return d;
    };
    // carved frames round the openings
    fill(im, 0, 0, 800, 600, [&](float x, float y) { return std::fabs(holes(x, y) - 7) - 7; },
         [&](float x, float y, float) {
             float n = fbm(x / 6, y / 6, seed + 3, 2);
             return mix(hex(0xb8a478), hex(0xe8d49a), n);
         });
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x) {
            float d = holes(x + 0.5f, y + 0.5f);
            Col& c = im.at(x, y);
            c.a = std::min(c.a, clamp01(d + 0.5f));
            if (c.a <= 0) c = hex(0x8a9ab8, 0);
        }
    // the rock behind the fall inside the great arch shows through as a painted ledge
    fill(im, 300, 120, 500, 160, [&](float x, float y) { return std::max(holes(x, y) * -1, std::fabs(y - 146) - 6); },
         [&](float, float, float) { return hex(0x4a4440); });
    // shelves with their brackets
    for (int side = 0; side < 2; ++side)
        for (int shelf = 0; shelf < 3; ++shelf) {
            float y = 160.f + shelf * 140.f;
            float x0 = side ? 530.f : 20.f, x1 = side ? 780.f : 270.f;
            GemStyle st;
            st.base = hex(0x8a5a32);
            st.bevel = 0.4f;
            st.gloss = 0.25f;
            st.outline = 0.5f;
            st.reach = 14;
            paintGem(im, (x0 + x1) / 2, y, 10, [&](float px, float py) { return sdBox(px, py, (x0 + x1) / 2, y, (x1 - x0) / 2, 7, 2); }, st);
            for (float bx : {x0 + 30, x1 - 30})
                fill(im, bx - 10, y, bx + 10, y + 30, [&](float px, float py) { return std::max(sdBox(px, py, bx, y + 13, 6, 13, 1), (py - y) - (px - bx + 14)); },
                     [&](float, float, float) { return hex(0x5a3a22); });
        }
    // the pedestal for the crowning trophy
    GemStyle ped;
    ped.base = hex(0xc8b890);
    ped.bevel = 0.2f;
    ped.gloss = 0.3f;
    paintGem(im, 400, 550, 60, [](float x, float y) { return std::min(sdBox(x, y, 400, 560, 58, 40, 4), sdBox(x, y, 400, 522, 70, 8, 3)); }, ped);
    (void)plan;
    return im;
}


Image objectPicture(const std::string& n) {
    Image im;
    if (n == "skyday") im = skyPicture(SkyDay);
    else if (n == "skysunset") im = skyPicture(SkySunset);
    else if (n == "skynight") im = skyPicture(SkyNight);
    else if (n == "skydusk") im = skyPicture(SkyDusk);
    else if (n == "sun") im = sunPicture(false);
    else if (n == "moon") im = sunPicture(true);
    else if (n == "waterfall") im = waterfallPicture(false);
    else if (n == "waterfallnight") im = waterfallPicture(true);
    else if (n == "water") im = waterPicture(0);
    else if (n == "waterpool") im = waterPicture(1);
    else if (n == "waternight") im = waterPicture(2);
    else if (n == "spray") im = sprayPicture();
    else if (n == "leaves1") im = branchPicture(LeafGreen, 0);
    else if (n == "leaves2") im = branchPicture(LeafGreen, 1);
    else if (n == "leavesautumn") im = branchPicture(LeafAutumn, 0);
    else if (n == "leavesautumn2") im = branchPicture(LeafAutumn, 1);
    else if (n == "leavesblossom") im = branchPicture(LeafBlossom, 0);
    else if (n == "leavesblossom2") im = branchPicture(LeafBlossom, 1);
    else if (n == "leavespine") im = branchPicture(LeafPine, 0);
    else if (n == "leavespine2") im = branchPicture(LeafPine, 1);
    else if (n == "chest") im = chestPicture();
    else if (n == "rocks") im = rocksPicture();
    else if (n == "lantern") im = lanternPicture();
    else {
        std::fprintf(stderr, "forge: no painter for the object %s\n", n.c_str());
        std::exit(1);
    }
    return im;
}

Image backdropPicture(const BackdropPlan& plan) { return plan.indoor ? trophyHall(plan) : outdoorBackdrop(plan); }

}  // namespace

// The backdrop as the game shows it at rest: objects behind, the picture, objects in front.
Image landscapeScene(int index) {
    BackdropPlan plan = backdropPlan(index);
    Image out(800, 600, Col{0.7f, 0.7f, 0.7f, 1});
    auto screenRect = [](const SceneObject& o, float& x, float& y, float& w, float& h) {
        x = std::min(o.x0, o.x1) + 400;
        y = 300 - std::max(o.y0, o.y1);
        w = std::fabs(o.x1 - o.x0);
        h = std::fabs(o.y1 - o.y0);
    };
    auto front = [](const std::string& n) { return n.find("leaves") != std::string::npos; };
    for (int pass = 0; pass < 2; ++pass) {
        for (const SceneObject& o : plan.objects) {
            bool behind = o.behind || o.name.find("sky") != std::string::npos || o.name.find("water") != std::string::npos;
            if (o.name.find("spray") != std::string::npos) continue;
            if ((pass == 0) != behind) continue;
            Image pic = objectPicture(o.name);
            if (o.mirrored) {
                Image m(pic.w, pic.h);
                for (int y = 0; y < pic.h; ++y)
                    for (int x = 0; x < pic.w; ++x) m.at(x, y) = pic.at(pic.w - 1 - x, y);
                pic = m;
            }
            float x, y, w, h;
            screenRect(o, x, y, w, h);
            if (o.name.find("sky") != std::string::npos) {
                float tileW = h * pic.w / pic.h;
                for (float tx = x; tx < x + w; tx += tileW) blitScaled(out, pic, tx, y, tileW, h);
            } else if (o.name.find("water") != std::string::npos) {
                for (float ty = y; ty < y + h; ty += pic.h)
                    for (float tx = x; tx < x + w; tx += pic.w) blitScaled(out, pic, tx, ty, float(pic.w), float(pic.h));
            } else if (!front(o.name) || pass == 1) {
                blitScaled(out, pic, x, y, w, h);
            }
        }
        if (pass == 0) overImage(out, backdropPicture(plan));
    }
    return out;
}

void paintBackdrops(Context& ctx) {
    for (int i = 0; i < 18; ++i) emit(ctx, "AnimBacks/_a_back" + std::to_string(i) + ".jpg", backdropPicture(backdropPlan(i)));
    for (const GameObjectFile& f : gameObjectFiles()) emit(ctx, "AnimBacks/" + f.file, objectPicture(f.name));
    // for a painter's eye: each backdrop with its objects in place, beside the previews
    if (const char* dir = std::getenv("SANDMERE_FORGE_PREVIEW")) {
        for (int i = 0; i < 18; ++i) {
            std::vector<uint8_t> png = encodePng(landscapeScene(i));
            std::string path = std::string(dir) + "/scene" + std::to_string(i) + ".png";
            if (FILE* f = std::fopen(path.c_str(), "wb")) {
                std::fwrite(png.data(), 1, png.size(), f);
                std::fclose(f);
            }
        }
    }
}

}  // namespace forge::art
