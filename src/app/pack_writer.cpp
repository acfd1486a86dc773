#include "app/pack_writer.h"

void scrambleWithName(uint8_t* data, uint32_t size, const char* name, uint32_t nameLength) {
    if (!data || !name || nameLength == 0) return;
    for (uint32_t i = 0; i < size; ++i)
        data[i] ^= static_cast<uint8_t>(name[nameLength - 1 - (i % nameLength)]);
}

bool buildPack(const std::vector<PackItem>& items, std::vector<uint8_t>& out) {
    out.clear();
    for (const PackItem& item : items) {
        if (item.name.empty() || item.name.size() > 63) return false;
        out.insert(out.end(), item.name.begin(), item.name.end());
        out.push_back(0);
        uint32_t size = static_cast<uint32_t>(item.data.size());
        for (int b = 0; b < 4; ++b) out.push_back(static_cast<uint8_t>(size >> (8 * b)));
        size_t start = out.size();
        out.insert(out.end(), item.data.begin(), item.data.end());
        scrambleWithName(out.data() + start, size, item.name.c_str(), static_cast<uint32_t>(item.name.size()));
    }
    return true;
}
