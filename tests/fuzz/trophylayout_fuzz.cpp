// The trophy files: any bytes read as "trophy.cfg" (the 17 places) and as "trophy.txt" (the
// pictures' names), then every place asked for the trophy under points in and around it.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "progress/trophies.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TrophyTable& t = trophyTable();
    for (int i = 0; i < kTrophyCount; ++i) {
        t.layout[i] = defaultTrophyLayout(i, 128, 128);
        t.masks[i].width = 4;
        t.masks[i].height = 4;
        t.masks[i].alpha.assign(16, static_cast<uint8_t>(i & 1 ? 255 : 0));
    }
    const bool whole = decodeTrophyLayout(data, size, t.layout);
    if (whole != (size == kTrophyLayoutFileBytes)) std::abort();
    for (const TrophyLayout& l : t.layout)
        if (!std::isfinite(l.width * l.scale) || !std::isfinite(l.x) || !(l.width > 0.0f)) std::abort();
    std::vector<uint8_t> back;
    encodeTrophyLayout(t.layout, back);
    if (back.size() != kTrophyLayoutFileBytes) std::abort();
    for (const TrophyLayout& l : t.layout)
        for (float dx : {-0.6f, -0.2f, 0.0f, 0.3f, 0.5f})
            (void)trophyAt(l.x + dx * l.width * l.scale, l.y + dx * l.height * l.scale);
    std::string text(reinterpret_cast<const char*>(data), size);
    static char pictures[kTrophyCount][kTrophyNameBytes];
    static char glows[kTrophyCount][kTrophyNameBytes];
    readTrophyNames(text.c_str(), pictures, glows);
    for (int i = 0; i < kTrophyCount; ++i)
        if (std::string(pictures[i]).size() >= kTrophyNameBytes || std::string(glows[i]).size() >= kTrophyNameBytes)
            std::abort();
    return 0;
}
