// Settings and player profiles: the 44-byte settings record, the table of up to eight
// 128-byte player records, the journey's stage table and the position of each game.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int kModeCount = 3;          // adventure, timeless, puzzle
constexpr int kMaxProfiles = 8;
constexpr int kStageCount = 15;
constexpr int kLastLevel = 128;        // level numbers run 0..128
constexpr int kTipFlagCount = 13;
constexpr int kProfileNameBytes = 32;
constexpr int kProfileNameMax = 12;    // what the name entry lets a player type
constexpr size_t kSettingsBytes = 44;
constexpr size_t kProfileBytes = 128;
constexpr int kNewGameLives = 3;
// The most a game's score can reach (far past any game of 129 levels) and the lives it earns.
constexpr int32_t kMaxGameScore = 1000000000;
constexpr int32_t kMaxLives = kNewGameLives + kMaxGameScore / 250000;

struct Settings {
    int32_t musicVolume = 100;
    int32_t sfxVolume = 80;
    int32_t displayWidth = 800;    // written from the display, never read back
    int32_t displayHeight = 600;
    int32_t resolutionIndex = 0;
    int32_t colourDepth32 = 0;
    uint8_t customCursor = 0;
    uint8_t padding[3] = {0, 0, 0};
    int32_t reserved = 0;          // kept as read
    int32_t currentProfile = 0;
    int32_t profileCount = 0;
    int32_t fullScreen = 1;
};

struct Profile {
    char name[kProfileNameBytes];
    int32_t levelInStage[kModeCount];
    int32_t stage[kModeCount];
    int32_t furthestLevelInStage[kModeCount];
    int32_t furthestStage[kModeCount];
    int32_t lives[kModeCount];
    int32_t score[kModeCount];
    uint8_t mode;
    uint8_t unused[7];
    uint8_t savedGame[kModeCount];
    uint8_t tipFlags[kTipFlagCount];
};

struct ProfileTable {
    Profile slots[kMaxProfiles];
};

// The files of the settings folder, in memory.
Settings& settings();
ProfileTable& profileTable();

void loadSettings();
void loadProfiles();
void saveProgress();
int profileCount();
bool profilesLoaded();  // loadProfiles has run; only then may the files be written

// The record encodings (field by field, little-endian).
void encodeSettings(const Settings& s, std::vector<uint8_t>& out);
// Reads exactly kSettingsBytes; volumes are clamped to 0..100 and the flags made 0 or 1.
bool decodeSettings(const uint8_t* bytes, size_t size, Settings& out);
void encodeProfile(const Profile& p, std::vector<uint8_t>& out);
// Reads one 128-byte record, making every value safe to use as an index (see profiles.cpp).
void decodeProfile(const uint8_t* bytes, Profile& out);

// Player names usable as parts of file names: 1 to 12 characters from A-Z, 0-9 and space.
bool isValidProfileName(const char* name);

// The profile operations of the profile screens.
bool createProfile(const char* name);
bool renameProfile(int index, const char* name);
void removeProfile(int index);
void selectProfile(int index);
Profile& currentProfile();
int currentProfileIndex();

// The stage table and positions (level numbers 0..128 across the 15 stages).
int stageSize(int stage);           // 0 outside 0..14
int stageOfLevel(int levelNumber);  // 15 for 129 and above
int levelWithinStage(int levelNumber);
int firstLevelOfStage(int stage);

// Progress of the current profile in its last chosen mode.
int gameMode();
void setGameMode(int mode);
void setPosition(int levelNumber);
int currentLevelNumber();
int furthestLevelNumber();
void advanceLevel();
int lives();
void setLives(int value);
void addLife();
void takeLife();
int modeScore();
void setModeScore(int value);
// Per mode, for the saved games.
int modeScoreOf(int mode);
void setModeScoreOf(int mode, int value);
bool savedGameFlag(int mode);
void setSavedGameFlag(int mode, bool on);
// The first-time hints: position 0 is the welcome hint (the new-player flag).
bool tipFlag(int position);
void setTipFlag(int position, bool on);

// Tests: forget everything held in memory.
void resetProgressState();
