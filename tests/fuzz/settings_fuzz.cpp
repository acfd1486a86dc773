// "settings.dat" of any content: loads, keeps every value in range, saves again.
#include "progress_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_support::prepare("settings.dat", data, size);
    loadSettings();
    loadProfiles();
    fuzz_support::checkProfiles();
    fuzz_support::check(settings().customCursor <= 1 && (settings().fullScreen == 0 || settings().fullScreen == 1),
                        "flags");
    saveProgress();
    std::vector<uint8_t> back;
    FileRead read = readSettingsFile("settings.dat", back, 64);
    fuzz_support::check(read.present && read.size == kSettingsBytes, "settings size");
    return 0;
}
