// Shared by the fuzz targets of the players' files: a scratch settings folder (in memory-backed
// /dev/shm when there is one, so that the synced writes stay quick) and a hook that turns a
// fatal message into a crash the fuzzer reports.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "app/application.h"
#include "platform/fatal.h"
#include "progress/profiles.h"
#include "progress/records.h"
#include "progress/settings_folder.h"
#include "progress/trophy_state.h"

namespace fuzz_support {

inline void abortOnFatal(const char* text, const char*) {
    std::fprintf(stderr, "fatal during fuzzing: %s\n", text ? text : "");
    std::abort();
}

inline const std::string& scratchFolder() {
    static std::string folder = [] {
        std::string base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string pattern = base + "/sandmere-fuzz-XXXXXX";
        char* made = mkdtemp(pattern.data());
        if (!made) std::abort();
        std::string settingsDir = std::string(made) + "/settings";
        if (mkdir(settingsDir.c_str(), 0700) != 0) std::abort();
        return std::string(made);
    }();
    return folder;
}

// Fresh state over the scratch folder, with `name` holding the fuzzer's bytes.
inline void prepare(const char* name, const uint8_t* data, size_t size) {
    platform::setFatalHook(abortOnFatal);
    resetProgressState();
    resetRecordState();
    clearTrophyState();
    // The data folder is the scratch folder: loadSettings finds its "settings" there.
    application().dataFolder = scratchFolder() + "/";
    setSettingsFolder(scratchFolder() + "/settings");
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(settingsFolder(), ec))
        std::filesystem::remove_all(entry.path(), ec);
    std::string path = settingsPath(name);
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, out) != size) std::abort();
    std::fclose(out);
}

inline void check(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "broken invariant: %s\n", what);
    std::abort();
}

// What every loaded profile table must satisfy, whatever the files held.
inline void checkProfiles() {
    check(profileCount() >= 0 && profileCount() <= kMaxProfiles, "profile count");
    check(currentProfileIndex() >= 0 && currentProfileIndex() < kMaxProfiles, "current index");
    check(settings().musicVolume >= 0 && settings().musicVolume <= 100, "music volume");
    check(settings().sfxVolume >= 0 && settings().sfxVolume <= 100, "effects volume");
    for (int i = 0; i < profileCount(); ++i) {
        const Profile& p = profileTable().slots[i];
        check(p.name[kProfileNameBytes - 1] == '\0', "name terminator");
        check(p.mode < kModeCount, "mode byte");
        for (int m = 0; m < kModeCount; ++m) {
            check(p.stage[m] >= 0 && p.stage[m] < kStageCount, "current stage");
            check(p.levelInStage[m] >= 0 && p.levelInStage[m] < stageSize(p.stage[m]), "current level");
            check(p.furthestStage[m] >= 0 && p.furthestStage[m] <= kStageCount, "furthest stage");
            check(p.lives[m] >= 0, "lives");
        }
    }
}

}  // namespace fuzz_support
