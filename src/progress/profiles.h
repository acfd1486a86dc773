// Settings and player profiles.
#pragma once

#include <cstdint>

struct Settings {
    int32_t musicVolume = 100;
    int32_t sfxVolume = 80;
    uint8_t customCursor = 0;
    int32_t fullScreen = 1;
    int32_t currentProfile = 0;
    int32_t profileCount = 0;
};

Settings& settings();
void loadSettings();
void loadProfiles();
void saveProgress();
int profileCount();
