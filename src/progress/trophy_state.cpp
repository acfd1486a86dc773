#include "progress/trophy_state.h"

#include <cstdio>
#include <cstring>

#include "progress/profiles.h"
#include "progress/settings_folder.h"

namespace {
TrophyState gTrophies{};

bool trophyFileName(const char* profileName, char* out, size_t capacity) {
    if (!isValidProfileName(profileName)) return false;
    std::snprintf(out, capacity, "%s.trp", profileName);
    return true;
}
}  // namespace

TrophyState& trophyState() { return gTrophies; }

void encodeTrophyState(const TrophyState& state, std::vector<uint8_t>& out) {
    out.clear();
    out.reserve(kTrophyFileBytes);
    for (int i = 0; i < kTrophyCount; ++i) {
        out.push_back(state.isNew[i]);
        out.push_back(state.earned[i]);
    }
}

void decodeTrophyState(const uint8_t* bytes, size_t size, TrophyState& out) {
    std::memset(&out, 0, sizeof out);
    if (!bytes) return;
    for (int i = 0; i < kTrophyCount; ++i) {
        size_t at = static_cast<size_t>(i) * 2;
        if (at < size) out.isNew[i] = bytes[at] != 0 ? 1 : 0;
        if (at + 1 < size) out.earned[i] = bytes[at + 1] != 0 ? 1 : 0;
    }
}

void loadTrophyState(const char* profileName) {
    clearTrophyState();
    char name[64];
    if (!trophyFileName(profileName, name, sizeof name)) return;
    std::vector<uint8_t> bytes;
    FileRead read = loadSettingsFile(name, bytes, kTrophyFileBytes);
    if (!read.present) return;
    decodeTrophyState(bytes.data(), bytes.size(), gTrophies);
}

void clearTrophyState() { std::memset(&gTrophies, 0, sizeof gTrophies); }

void writeTrophyState(const char* profileName) {
    char name[64];
    if (!trophyFileName(profileName, name, sizeof name)) return;
    std::vector<uint8_t> bytes;
    encodeTrophyState(gTrophies, bytes);
    saveSettingsFile(name, bytes);
}

bool awardTrophy(int k) {
    if (k < 1 || k > kTrophyCount) return false;
    if (gTrophies.earned[k - 1]) return false;
    gTrophies.earned[k - 1] = 1;
    gTrophies.isNew[k - 1] = 1;
    if (profileCount() > 0) writeTrophyState(currentProfile().name);
    return true;
}

bool trophyEarned(int k) { return k >= 1 && k <= kTrophyCount && gTrophies.earned[k - 1] != 0; }

bool trophyIsNew(int k) { return k >= 1 && k <= kTrophyCount && gTrophies.isNew[k - 1] != 0; }

void clearTrophyNew(int k) {
    if (k < 1 || k > kTrophyCount) return;
    gTrophies.isNew[k - 1] = 0;
    if (profileCount() > 0) writeTrophyState(currentProfile().name);
}

int nextNewTrophy() {
    for (int i = 0; i < kTrophyCount; ++i)
        if (gTrophies.isNew[i]) return i + 1;
    return 0;
}
