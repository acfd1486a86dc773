// "profiles.dat" of any content beside a settings file that claims eight profiles: every
// record loads into range, every position accessor and profile operation stays in the table.
#include "progress_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_support::prepare("profiles.dat", data, size);
    Settings claimed;
    claimed.profileCount = size > 0 ? data[0] % 12 : 8;
    claimed.currentProfile = size > 1 ? static_cast<int8_t>(data[1]) : 0;
    std::vector<uint8_t> s;
    encodeSettings(claimed, s);
    if (!writeSettingsFile("settings.dat", s)) std::abort();
    loadSettings();
    loadProfiles();
    fuzz_support::checkProfiles();
    for (int i = 0; i < profileCount(); ++i) {
        selectProfile(i);
        for (int m = 0; m < kModeCount; ++m) {
            setGameMode(m);
            int n = currentLevelNumber();
            fuzz_support::check(n >= 0 && n <= kLastLevel, "current level number");
            fuzz_support::check(furthestLevelNumber() >= 0 && furthestLevelNumber() <= kLastLevel + 1, "furthest");
            advanceLevel();
            fuzz_support::check(currentLevelNumber() >= 0 && currentLevelNumber() <= kLastLevel, "advanced level");
            takeLife();
            fuzz_support::check(lives() >= 0, "lives after a loss");
        }
        awardTrophy(1 + i);
    }
    if (profileCount() > 0) {
        renameProfile(0, "RENAMED");
        removeProfile(profileCount() - 1);
    }
    createProfile("FUZZ");
    fuzz_support::checkProfiles();
    saveProgress();
    return 0;
}
