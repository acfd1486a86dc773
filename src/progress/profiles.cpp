#include "progress/profiles.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "progress/records.h"
#include "progress/serialise.h"
#include "progress/settings_folder.h"
#include "progress/trophy_state.h"

namespace {

constexpr int kStageSizes[kStageCount] = {4, 5, 6, 7, 8, 9, 10, 10, 10, 10, 10, 10, 10, 10, 10};

struct ProgressState {
    Settings settings;
    ProfileTable table{};
    bool settingsRead = false;  // "settings.dat" was present and of the right size
    bool loaded = false;
};

ProgressState gProgress;

int clampInt(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }
uint8_t flag(uint8_t v) { return v != 0 ? 1 : 0; }

int safeMode(int m) { return m >= 0 && m < kModeCount ? m : 0; }

int safeIndex() {
    int i = gProgress.settings.currentProfile;
    return i >= 0 && i < kMaxProfiles ? i : 0;
}

bool validPosition(int stage, int level) { return stage >= 0 && stage < kStageCount && level >= 0 && level < kStageSizes[stage]; }

bool sameName(const char* a, const char* b) { return std::strncmp(a, b, kProfileNameBytes) == 0; }

bool nameTaken(const char* name) {
    for (int i = 0; i < gProgress.settings.profileCount; ++i)
        if (sameName(gProgress.table.slots[i].name, name)) return true;
    return false;
}

// The four per-profile files, in the order trophies, adventure, timeless, puzzle.
void profileFileNames(const char* profileName, char names[4][48]) {
    std::snprintf(names[0], 48, "%s.trp", profileName);
    std::snprintf(names[1], 48, "%s_cls.sav", profileName);
    std::snprintf(names[2], 48, "%s_ndl.sav", profileName);
    std::snprintf(names[3], 48, "%s_org.sav", profileName);
}

bool ownsAnyFile(const char* profileName) {
    char names[4][48];
    profileFileNames(profileName, names);
    for (auto& n : names)
        if (settingsFileExists(n)) return true;
    return false;
}

// Two profiles of one name would share their files, and removing one would delete the other's
// trophies and saved games: a profile that repeats an earlier name is given a number, within
// the name's limits, choosing a name no profile and no file in the folder has.
void makeNamesUnique() {
    ProfileTable& t = gProgress.table;
    for (int i = 1; i < gProgress.settings.profileCount; ++i) {
        char* name = t.slots[i].name;
        bool repeated = false;
        for (int j = 0; j < i; ++j) repeated = repeated || sameName(t.slots[j].name, name);
        if (!repeated) continue;
        const size_t room = isValidProfileName(name) ? kProfileNameMax : kProfileNameBytes - 1;
        const size_t length = boundedLength(name, kProfileNameBytes);
        char chosen[kProfileNameBytes] = {};
        // Names whose files are left over in the folder are passed over while any other is free.
        for (int pass = 0; pass < 2 && !chosen[0]; ++pass)
            for (int n = 2; n < 1000 && !chosen[0]; ++n) {
                char digits[8];
                const size_t d = static_cast<size_t>(std::snprintf(digits, sizeof digits, "%d", n));
                char candidate[kProfileNameBytes] = {};
                const size_t keep = std::min(length, room - d);
                std::memcpy(candidate, name, keep);
                std::memcpy(candidate + keep, digits, d);
                if (nameTaken(candidate)) continue;
                if (pass == 0 && isValidProfileName(candidate) && ownsAnyFile(candidate)) continue;
                std::memcpy(chosen, candidate, sizeof chosen);
            }
        // The rest of the field keeps what it held, as for every name.
        std::memcpy(name, chosen, boundedLength(chosen, kProfileNameBytes) + 1);
    }
}

}  // namespace

Settings& settings() { return gProgress.settings; }
ProfileTable& profileTable() { return gProgress.table; }
int profileCount() { return gProgress.settings.profileCount; }
bool profilesLoaded() { return gProgress.loaded; }
int currentProfileIndex() { return safeIndex(); }
Profile& currentProfile() { return gProgress.table.slots[safeIndex()]; }

void resetProgressState() { gProgress = ProgressState{}; }

// ---- encodings ----

void encodeSettings(const Settings& s, std::vector<uint8_t>& out) {
    out.clear();
    ByteWriter w(out);
    w.i32(s.musicVolume);
    w.i32(s.sfxVolume);
    w.i32(s.displayWidth);
    w.i32(s.displayHeight);
    w.i32(s.resolutionIndex);
    w.i32(s.colourDepth32);
    w.u8(s.customCursor);
    w.zeros(3);
    w.i32(s.reserved);
    w.i32(s.currentProfile);
    w.i32(s.profileCount);
    w.i32(s.fullScreen);
}

bool decodeSettings(const uint8_t* bytes, size_t size, Settings& out) {
    if (!bytes || size != kSettingsBytes) return false;
    ByteReader r(bytes, size);
    Settings s;
    s.musicVolume = clampInt(r.i32(), 0, 100);
    s.sfxVolume = clampInt(r.i32(), 0, 100);
    // The display fields are never taken from the file: the display starts at 800 x 600.
    r.skip(16);
    s.customCursor = flag(r.u8());
    r.skip(3);
    s.reserved = r.i32();
    s.currentProfile = r.i32();
    s.profileCount = r.i32();
    s.fullScreen = r.i32() != 0 ? 1 : 0;
    s.colourDepth32 = s.fullScreen ? 0 : 1;
    out = s;
    return r.ok();
}

void encodeProfile(const Profile& p, std::vector<uint8_t>& out) {
    ByteWriter w(out);
    w.bytes(p.name, kProfileNameBytes);
    for (int32_t v : p.levelInStage) w.i32(v);
    for (int32_t v : p.stage) w.i32(v);
    for (int32_t v : p.furthestLevelInStage) w.i32(v);
    for (int32_t v : p.furthestStage) w.i32(v);
    for (int32_t v : p.lives) w.i32(v);
    for (int32_t v : p.score) w.i32(v);
    w.u8(p.mode);
    w.bytes(p.unused, sizeof p.unused);
    w.bytes(p.savedGame, sizeof p.savedGame);
    w.bytes(p.tipFlags, sizeof p.tipFlags);
}

void decodeProfile(const uint8_t* bytes, Profile& out) {
    ByteReader r(bytes, kProfileBytes);
    r.bytes(out.name, kProfileNameBytes);
    out.name[kProfileNameBytes - 1] = '\0';
    for (int32_t& v : out.levelInStage) v = r.i32();
    for (int32_t& v : out.stage) v = r.i32();
    for (int32_t& v : out.furthestLevelInStage) v = r.i32();
    for (int32_t& v : out.furthestStage) v = r.i32();
    for (int32_t& v : out.lives) v = r.i32();
    for (int32_t& v : out.score) v = r.i32();
    out.mode = r.u8();
    r.bytes(out.unused, sizeof out.unused);
    r.bytes(out.savedGame, sizeof out.savedGame);
    r.bytes(out.tipFlags, sizeof out.tipFlags);
    // Every value that indexes a table is brought into its range, lives and scores within what
    // a game can reach; the rest stays as read.
    if (out.mode >= kModeCount) out.mode = 0;
    for (int m = 0; m < kModeCount; ++m) {
        if (!validPosition(out.stage[m], out.levelInStage[m])) out.stage[m] = out.levelInStage[m] = 0;
        bool pastTheEnd = out.furthestStage[m] == kStageCount && out.furthestLevelInStage[m] == 0;
        if (!pastTheEnd && !validPosition(out.furthestStage[m], out.furthestLevelInStage[m]))
            out.furthestStage[m] = out.furthestLevelInStage[m] = 0;
        out.lives[m] = clampInt(out.lives[m], 0, kMaxLives);
        // A score of 0 or less is no game in progress: kept as read, within the game's reach.
        out.score[m] = clampInt(out.score[m], -kMaxGameScore, kMaxGameScore);
        out.savedGame[m] = flag(out.savedGame[m]);
    }
    for (uint8_t& t : out.tipFlags) t = flag(t);
}

bool isValidProfileName(const char* name) {
    if (!name) return false;
    size_t n = boundedLength(name, kProfileNameBytes);
    if (n < 1 || n > static_cast<size_t>(kProfileNameMax)) return false;
    for (size_t i = 0; i < n; ++i) {
        char c = name[i];
        bool ok = (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ';
        if (!ok) return false;
    }
    return true;
}

// ---- loading and saving ----

void loadSettings() {
    // Nothing is created before the loading: a game closed during its splash leaves no trace.
    findSettingsFolder();
    Settings fresh;
    gProgress.settings = fresh;
    gProgress.settingsRead = false;
    std::vector<uint8_t> bytes;
    FileRead read = loadSettingsFile("settings.dat", bytes, kSettingsBytes);
    if (read.present && read.whole && read.size == kSettingsBytes)
        gProgress.settingsRead = decodeSettings(bytes.data(), bytes.size(), gProgress.settings);
    if (!gProgress.settingsRead) gProgress.settings = fresh;
    gProgress.settings.colourDepth32 = gProgress.settings.fullScreen ? 0 : 1;
}

void loadProfiles() {
    enterSettingsFolder();
    Settings& s = gProgress.settings;
    std::memset(&gProgress.table, 0, sizeof gProgress.table);
    std::vector<uint8_t> bytes;
    FileRead read = loadSettingsFile("profiles.dat", bytes, kMaxProfiles * kProfileBytes);
    if (read.present) {
        int available = static_cast<int>(std::min<size_t>(bytes.size() / kProfileBytes, kMaxProfiles));
        if (gProgress.settingsRead) {
            s.profileCount = std::min(std::max(s.profileCount, 0), available);
        } else {
            // Without the settings the count comes from the profiles themselves.
            s.profileCount = available;
            s.currentProfile = 0;
        }
        for (int i = 0; i < s.profileCount; ++i)
            decodeProfile(bytes.data() + static_cast<size_t>(i) * kProfileBytes, gProgress.table.slots[i]);
        makeNamesUnique();
    } else {
        s.profileCount = 0;
    }
    if (s.profileCount > 0) {
        if (s.currentProfile < 0 || s.currentProfile >= s.profileCount) s.currentProfile = 0;
    } else if (s.currentProfile < 0 || s.currentProfile >= kMaxProfiles) {
        s.currentProfile = 0;
    }
    if (s.profileCount > 0) loadTrophyState(currentProfile().name);
    else clearTrophyState();
    gProgress.loaded = true;
}

void saveProgress() {
    if (!gProgress.loaded) return;
    std::vector<uint8_t> bytes;
    encodeSettings(gProgress.settings, bytes);
    saveSettingsFile("settings.dat", bytes);
    bytes.clear();
    for (int i = 0; i < gProgress.settings.profileCount; ++i) encodeProfile(gProgress.table.slots[i], bytes);
    saveSettingsFile("profiles.dat", bytes);
    saveRecordTables();
}

// ---- profile operations ----

namespace {
// A typed name without the spaces before and after it: "ANNA " is ANNA, and a name of spaces
// alone is empty, which no list could show.
struct TrimmedName {
    char text[kProfileNameBytes] = {};
};
TrimmedName trimmed(const char* name) {
    TrimmedName t;
    if (!name) return t;
    size_t n = boundedLength(name, kProfileNameBytes);
    size_t start = 0;
    while (start < n && name[start] == ' ') ++start;
    while (n > start && name[n - 1] == ' ') --n;
    if (n - start >= sizeof t.text) return TrimmedName{};  // too long: refused as it stands
    std::memcpy(t.text, name + start, n - start);
    return t;
}
}  // namespace

bool createProfile(const char* typed) {
    const TrimmedName given = trimmed(typed);
    const char* name = given.text;
    Settings& s = gProgress.settings;
    // The profile list refuses the new-profile line with its cue before a name is typed; a
    // full table here simply refuses.
    if (s.profileCount >= kMaxProfiles) return false;
    if (!isValidProfileName(name) || nameTaken(name)) return false;
    int slot = s.profileCount;
    Profile& p = gProgress.table.slots[slot];
    std::memset(&p, 0, sizeof p);
    copyBounded(p.name, kProfileNameBytes, name);
    p.mode = 0;
    std::memset(p.tipFlags, 1, sizeof p.tipFlags);
    s.currentProfile = slot;
    s.profileCount += 1;
    clearTrophyState();
    writeTrophyState(p.name);
    saveProgress();
    return true;
}

bool renameProfile(int index, const char* typed) {
    const TrimmedName given = trimmed(typed);
    const char* name = given.text;
    Settings& s = gProgress.settings;
    if (index < 0 || index >= s.profileCount) return false;
    if (!isValidProfileName(name) || nameTaken(name)) return false;
    Profile& p = gProgress.table.slots[index];
    if (isValidProfileName(p.name)) {
        char oldNames[4][48];
        char newNames[4][48];
        profileFileNames(p.name, oldNames);
        profileFileNames(name, newNames);
        bool moved[4] = {false, false, false, false};
        for (int i = 0; i < 4; ++i) {
            if (!settingsFileExists(oldNames[i])) continue;
            if (!moveSettingsFile(oldNames[i], newNames[i])) {
                // Put back what was already moved; the profile keeps its name.
                for (int j = i - 1; j >= 0; --j)
                    if (moved[j]) moveSettingsFile(newNames[j], oldNames[j]);
                return false;
            }
            moved[i] = true;
        }
    }
    copyBounded(p.name, kProfileNameBytes, name);
    saveProgress();
    return true;
}

void removeProfile(int index) {
    Settings& s = gProgress.settings;
    if (s.profileCount <= 0 || index < 0 || index >= s.profileCount) return;
    char names[4][48];
    bool ownsFiles = isValidProfileName(gProgress.table.slots[index].name);
    if (ownsFiles) profileFileNames(gProgress.table.slots[index].name, names);
    for (int i = index; i + 1 < s.profileCount; ++i) gProgress.table.slots[i] = gProgress.table.slots[i + 1];
    s.profileCount -= 1;
    std::memset(&gProgress.table.slots[s.profileCount], 0, sizeof(Profile));
    if (s.currentProfile > index) s.currentProfile -= 1;
    else if (s.currentProfile == index) s.currentProfile = std::max(0, s.currentProfile - 1);
    if (s.profileCount == 0) s.currentProfile = 0;
    if (ownsFiles)
        for (auto& n : names) removeSettingsFile(n);
    // The trophies in memory follow the profile that is now current.
    if (s.profileCount > 0) loadTrophyState(currentProfile().name);
    else clearTrophyState();
    saveProgress();
}

void selectProfile(int index) {
    if (index < 0 || index >= gProgress.settings.profileCount) return;
    gProgress.settings.currentProfile = index;
    loadTrophyState(currentProfile().name);
}

// ---- stages and positions ----

int stageSize(int stage) { return stage >= 0 && stage < kStageCount ? kStageSizes[stage] : 0; }

int stageOfLevel(int levelNumber) {
    int sum = 0;
    for (int s = 0; s < kStageCount; ++s) {
        sum += kStageSizes[s];
        if (sum > levelNumber) return s;
    }
    return kStageCount;
}

int firstLevelOfStage(int stage) {
    int sum = 0;
    for (int s = 0; s < stage && s < kStageCount; ++s) sum += kStageSizes[s];
    return sum;
}

int levelWithinStage(int levelNumber) { return levelNumber - firstLevelOfStage(stageOfLevel(levelNumber)); }

int gameMode() { return safeMode(currentProfile().mode); }

void setGameMode(int mode) {
    if (mode >= 0 && mode < kModeCount) currentProfile().mode = static_cast<uint8_t>(mode);
}

void setPosition(int levelNumber) {
    int n = clampInt(levelNumber, 0, kLastLevel);
    Profile& p = currentProfile();
    int m = gameMode();
    p.stage[m] = stageOfLevel(n);
    p.levelInStage[m] = levelWithinStage(n);
}

int currentLevelNumber() {
    const Profile& p = currentProfile();
    int m = gameMode();
    return firstLevelOfStage(p.stage[m]) + p.levelInStage[m];
}

int furthestLevelNumber() {
    const Profile& p = currentProfile();
    int m = gameMode();
    return firstLevelOfStage(p.furthestStage[m]) + p.furthestLevelInStage[m];
}

void advanceLevel() {
    Profile& p = currentProfile();
    int m = gameMode();
    int c = currentLevelNumber();
    int f = furthestLevelNumber();
    if (c < kLastLevel) c += 1;
    if (f < c) f = c;
    p.furthestStage[m] = stageOfLevel(f);
    p.furthestLevelInStage[m] = levelWithinStage(f);
    p.levelInStage[m] += 1;
    if (p.levelInStage[m] < stageSize(p.stage[m])) return;
    p.stage[m] += 1;
    p.levelInStage[m] = 0;
    if (p.furthestStage[m] < p.stage[m]) {
        p.furthestStage[m] = p.stage[m];
        p.furthestLevelInStage[m] = 0;
    }
    if (p.stage[m] >= kStageCount) p.stage[m] = 0;
}

int lives() { return currentProfile().lives[gameMode()]; }
void setLives(int value) { currentProfile().lives[gameMode()] = std::max(0, value); }
void addLife() { currentProfile().lives[gameMode()] += 1; }
void takeLife() {
    int& l = currentProfile().lives[gameMode()];
    if (l > 0) l -= 1;
}
int modeScore() { return currentProfile().score[gameMode()]; }
void setModeScore(int value) { currentProfile().score[gameMode()] = value; }
int modeScoreOf(int mode) { return currentProfile().score[safeMode(mode)]; }
void setModeScoreOf(int mode, int value) { currentProfile().score[safeMode(mode)] = value; }
bool savedGameFlag(int mode) { return mode >= 0 && mode < kModeCount && currentProfile().savedGame[mode] != 0; }
void setSavedGameFlag(int mode, bool on) {
    if (mode >= 0 && mode < kModeCount) currentProfile().savedGame[mode] = on ? 1 : 0;
}
bool tipFlag(int position) {
    return position >= 0 && position < kTipFlagCount && currentProfile().tipFlags[position] != 0;
}
void setTipFlag(int position, bool on) {
    if (position >= 0 && position < kTipFlagCount) currentProfile().tipFlags[position] = on ? 1 : 0;
}
