#include "progress/trophies.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/key_text.h"
#include "app/resource_store.h"
#include "platform/files.h"
#include "render/textures.h"

namespace {

TrophyTable gTable;
TrophyRoomState gRoom;

float readF32(const uint8_t* p) {
    uint32_t v = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    float out;
    std::memcpy(&out, &v, 4);
    return out;
}

void putF32(std::vector<uint8_t>& out, float f) {
    uint32_t v;
    std::memcpy(&v, &f, 4);
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

bool usablePlace(float v) { return std::isfinite(v) && std::fabs(v) <= 100000.0f; }
bool usableSize(float v) { return usablePlace(v) && v > 0.0f; }

// Runs a step inside a subfolder of the data folder and comes back.
struct InFolder {
    std::string back = platform::currentDir();
    bool entered;
    explicit InFolder(const char* folder) : entered(platform::changeDir(folder)) {}
    ~InFolder() {
        if (entered) platform::changeDir(back.c_str());
    }
    InFolder(const InFolder&) = delete;
    InFolder& operator=(const InFolder&) = delete;
};

}  // namespace

TrophyTable& trophyTable() { return gTable; }
TrophyRoomState& trophyRoom() { return gRoom; }
void resetTrophyRoom() { gRoom = TrophyRoomState{}; }
void resetTrophies() {
    gTable.loaded = false;
    for (int i = 0; i < kTrophyCount; ++i) {
        gTable.pictures[i] = gTable.glows[i] = nullptr;
        gTable.masks[i] = TrophyMask{};
        gTable.layout[i] = TrophyLayout{};
    }
    resetTrophyRoom();
}

TrophyLayout defaultTrophyLayout(int i, int pictureWidth, int pictureHeight) {
    TrophyLayout t;
    t.width = static_cast<float>(pictureWidth);
    t.height = static_cast<float>(pictureHeight);
    t.x = static_cast<float>(i) * 760.0f / 17.0f - 380.0f;
    t.y = 280.0f - static_cast<float>(i) * 560.0f / 17.0f;
    t.scale = 1.0f;
    return t;
}

bool decodeTrophyLayout(const uint8_t* bytes, size_t size, TrophyLayout out[kTrophyCount]) {
    if (!bytes || size != kTrophyLayoutFileBytes) return false;
    for (int i = 0; i < kTrophyCount; ++i) {
        const uint8_t* r = bytes + static_cast<size_t>(i) * kTrophyLayoutBytes;
        TrophyLayout t;
        t.width = readF32(r);
        t.height = readF32(r + 4);
        t.x = readF32(r + 8);
        t.y = readF32(r + 12);
        t.scale = readF32(r + 20);
        t.hovered = r[88];
        if (!usableSize(t.width) || !usableSize(t.height) || !usablePlace(t.x) || !usablePlace(t.y) ||
            !usableSize(t.scale))
            continue;
        out[i] = t;
    }
    return true;
}

void encodeTrophyLayout(const TrophyLayout layout[kTrophyCount], std::vector<uint8_t>& out) {
    out.clear();
    for (int i = 0; i < kTrophyCount; ++i) {
        const TrophyLayout& t = layout[i];
        putF32(out, t.width);
        putF32(out, t.height);
        putF32(out, t.x);
        putF32(out, t.y);
        out.insert(out.end(), 4, 0);
        putF32(out, t.scale);
        out.insert(out.end(), 64, 0);
        out.push_back(t.hovered);
        out.insert(out.end(), 3, 0);
    }
}

void readTrophyNames(const char* text, char pictures[kTrophyCount][kTrophyNameBytes],
                     char glows[kTrophyCount][kTrophyNameBytes]) {
    char key[32];
    for (int i = 0; i < kTrophyCount; ++i) {
        std::snprintf(key, sizeof key, "trophy%i=", i + 1);
        getString(pictures[i], kTrophyNameBytes, text ? text : "", key);
        std::snprintf(key, sizeof key, "trophylum%i=", i + 1);
        getString(glows[i], kTrophyNameBytes, text ? text : "", key);
    }
}

bool maskOpaqueAt(const TrophyMask& mask, float u, float v) {
    if (mask.width <= 0 || mask.height <= 0 || mask.alpha.size() < static_cast<size_t>(mask.width) * mask.height)
        return false;
    if (!(u >= 0.0f && u < 1.0f && v >= 0.0f && v < 1.0f)) return false;
    const int x = std::min(mask.width - 1, static_cast<int>(u * static_cast<float>(mask.width)));
    const int y = std::min(mask.height - 1, static_cast<int>(v * static_cast<float>(mask.height)));
    return mask.alpha[static_cast<size_t>(y) * mask.width + x] >= 1;
}

void loadTrophies() {
    int32_t size = 0;
    uint8_t* bytes = loadFile("trophy.txt", &size, true);
    std::string text(reinterpret_cast<const char*>(bytes), bytes && size > 0 ? static_cast<size_t>(size) : 0);
    releaseByData(bytes);
    static char pictures[kTrophyCount][kTrophyNameBytes];
    static char glows[kTrophyCount][kTrophyNameBytes];
    readTrophyNames(text.c_str(), pictures, glows);
    InFolder folder("trophyes");
    std::vector<uint8_t> rgba;
    for (int i = 0; i < kTrophyCount; ++i) {
        gTable.pictures[i] = loadTexture(pictures[i]);
        gTable.glows[i] = loadTexture(glows[i]);
        TrophyMask& mask = gTable.masks[i];
        mask = TrophyMask{};
        if (readPicturePixels(pictures[i], rgba, mask.width, mask.height)) {
            mask.alpha.resize(static_cast<size_t>(mask.width) * mask.height);
            for (size_t p = 0; p < mask.alpha.size(); ++p) mask.alpha[p] = rgba[p * 4 + 3];
        }
        const int w = gTable.pictures[i] ? static_cast<int>(gTable.pictures[i]->width) : mask.width;
        const int h = gTable.pictures[i] ? static_cast<int>(gTable.pictures[i]->height) : mask.height;
        gTable.layout[i] = defaultTrophyLayout(i, w, h);
    }
    int32_t cfgSize = 0;
    if (uint8_t* cfg = loadFile("trophy.cfg", &cfgSize, false)) {
        decodeTrophyLayout(cfg, cfgSize > 0 ? static_cast<size_t>(cfgSize) : 0, gTable.layout);
        releaseByData(cfg);
    }
    gTable.loaded = true;
}

bool writeTrophyLayout() {
    std::vector<uint8_t> bytes;
    encodeTrophyLayout(gTable.layout, bytes);
    // A layout aid: an installed game's data folder is read-only, and that costs nothing.
    return platform::writeFileAtomic("trophyes/trophy.cfg", bytes.data(), bytes.size());
}
