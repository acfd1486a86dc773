// "hiscore.dat" of any content: accepted only whole; insertions keep ten rows per mode.
#include <cstring>

#include "progress_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_support::prepare("hiscore.dat", data, size);
    loadSettings();
    loadProfiles();
    loadRecordTables();
    for (const auto& mode : highScoreTable().entries)
        for (const HighScoreEntry& e : mode) fuzz_support::check(std::strlen(e.name) < kHighScoreNameBytes, "name");
    for (size_t i = 0; i + 4 <= size && i < 64; i += 4) {
        int32_t score = static_cast<int32_t>(data[i] | data[i + 1] << 8 | data[i + 2] << 16 | uint32_t(data[i + 3]) << 24);
        int row = insertHighScore(static_cast<int>(i / 4) % 4, score, "FUZZ");
        fuzz_support::check(row >= -1 && row < kHighScoreRows, "row");
        fuzz_support::check(row == newEntryIndex(), "new entry");
    }
    saveProgress();
    std::vector<uint8_t> back;
    FileRead read = readSettingsFile("hiscore.dat", back, kHighScoreFileBytes + 1);
    fuzz_support::check(read.present && read.size == kHighScoreFileBytes, "hiscore size");
    return 0;
}
