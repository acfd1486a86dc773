// A profile's "%s.trp" of any content: read into 17 pairs of 0/1 flags, awards and the
// presentation step write it back at exactly 34 bytes.
#include "progress_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_support::prepare("ANNA.trp", data, size);
    loadSettings();
    loadProfiles();
    // A profile named ANNA is current, with the fuzzer's trophy file already in place.
    Profile& p = profileTable().slots[0];
    std::snprintf(p.name, sizeof p.name, "ANNA");
    settings().profileCount = 1;
    loadTrophyState("ANNA");
    for (int k = 1; k <= kTrophyCount; ++k) {
        fuzz_support::check(trophyState().isNew[k - 1] <= 1 && trophyState().earned[k - 1] <= 1, "flags");
        bool had = trophyEarned(k);
        fuzz_support::check(awardTrophy(k) == !had, "award");
    }
    while (int k = nextNewTrophy()) clearTrophyNew(k);
    std::vector<uint8_t> back;
    FileRead read = readSettingsFile("ANNA.trp", back, 64);
    fuzz_support::check(read.present && read.size == kTrophyFileBytes, "trophy file size");
    return 0;
}
