// "records.dat" of any content: accepted only whole, names end inside their fields, updates
// and the save keep the exact size.
#include <cstring>

#include "progress_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_support::prepare("records.dat", data, size);
    loadSettings();
    loadProfiles();
    loadRecordTables();
    for (const auto& mode : recordTable().levels)
        for (const LevelRecord& r : mode) {
            fuzz_support::check(r.scoreHolder[kRecordNameBytes - 1] == '\0', "score holder");
            fuzz_support::check(std::strlen(r.timeHolder) < kRecordNameBytes, "time holder");
        }
    int32_t v = size >= 4 ? static_cast<int32_t>(data[0] | data[1] << 8 | data[2] << 16 | uint32_t(data[3]) << 24) : 7;
    updateLevelRecord(v & 3, (v >> 2) & 255, v, v >> 3, v >> 5, static_cast<float>(v) * 0.5f, "FUZZ");
    saveProgress();
    std::vector<uint8_t> back;
    FileRead read = readSettingsFile("records.dat", back, kRecordFileBytes + 1);
    fuzz_support::check(read.present && read.size == kRecordFileBytes, "records size");
    return 0;
}
