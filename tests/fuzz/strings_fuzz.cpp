// The strings-file parser on any bytes, then every lookup over what it read.
#include <cstdint>
#include <cstring>
#include <vector>

#include "app/strings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    freeStrings();
    // An exact-size copy, so any read past the end is seen.
    std::vector<uint8_t> bytes(data, data + size);
    int added = parseStrings(bytes.data(), bytes.size());
    if (added != stringCount() || added > kStringCapacity) __builtin_trap();
    size_t total = 0;
    for (int i = 0; i < stringCount(); ++i) {
        const char* name = nameAt(i);
        if (std::strlen(name) > static_cast<size_t>(kStringNameMax)) __builtin_trap();
        total += std::strlen(lookupText(name)) + std::strlen(textAt(i));
        if (indexOfName(name) > i) __builtin_trap();
    }
    total += std::strlen(textAt(stringCount())) + std::strlen(lookupText("nothing-here"));
    total += static_cast<size_t>(numberedRunLength("tip") + numberedRunLength("gametip"));
    freeStrings();
    return total == static_cast<size_t>(-1) ? 1 : 0;
}
