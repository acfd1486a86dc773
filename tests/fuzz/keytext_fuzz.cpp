// The key text readers on any text, with the keys the game uses and a key taken from the input.
#include <cstdint>
#include <cstring>
#include <string>

#include "app/key_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first line of the input (up to 40 bytes) is a key of its own; the rest is the text.
    size_t keyLength = 0;
    while (keyLength < size && keyLength < 40 && data[keyLength] != '\n') ++keyLength;
    std::string ownKey(reinterpret_cast<const char*>(data), keyLength);
    std::string text(reinterpret_cast<const char*>(data), size);  // a 0 byte inside ends the text early
    static const char* keys[] = {"level=", "nummeshes=", "mesh0=", "texture1=", "colour=", "pos=", "rot=",
                                 "speed=", "size=", "(", ",", "=", "\r", ")"};
    volatile float sink = 0.0f;
    char buffer[64];
    float list[16];
    for (int k = 0; k < static_cast<int>(sizeof keys / sizeof keys[0]) + 1; ++k) {
        const char* key = k < static_cast<int>(sizeof keys / sizeof keys[0]) ? keys[k] : ownKey.c_str();
        getString(buffer, sizeof buffer, text.c_str(), key);
        if (std::strlen(buffer) >= sizeof buffer) __builtin_trap();
        sink = sink + static_cast<float>(getInt(text.c_str(), key));
        sink = sink + getFloat(text.c_str(), key);
        int n = getFloatList(text.c_str(), list, 4, key);
        if (n < 0 || n > 4) __builtin_trap();
        for (int i = 0; i < n; ++i) sink = sink + list[i];
        Vector3 v = getVector3(text.c_str(), key);
        sink = sink + v.x + v.y + v.z;
    }
    (void)sink;
    return 0;
}
