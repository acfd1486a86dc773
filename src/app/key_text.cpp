#include "app/key_text.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "platform/numbers.h"

namespace {

// The value buffers of the readers: numbers and triples are short, lists may be long.
constexpr size_t kNumberBuffer = 32;
constexpr size_t kVectorBuffer = 64;
constexpr size_t kListBuffer = 260;

float toFloat(double v) {
    if (std::isnan(v)) return 0.0f;
    if (v > std::numeric_limits<float>::max()) return std::numeric_limits<float>::infinity();
    if (v < -std::numeric_limits<float>::max()) return -std::numeric_limits<float>::infinity();
    return static_cast<float>(v);
}

float readFloat(const char* text) { return toFloat(platform::parseDouble(text)); }

}  // namespace

char* getString(char* buffer, size_t capacity, const char* text, const char* key) {
    if (!buffer || capacity == 0) return buffer;
    buffer[0] = '\0';
    if (!text || !key || !*key) return buffer;
    const char* found = std::strstr(text, key);
    if (!found) return buffer;
    const char* p = found + std::strlen(key);
    size_t n = 0;
    while (p[n] != '\0' && p[n] != '\r' && n + 1 < capacity) {
        buffer[n] = p[n];
        ++n;
    }
    buffer[n] = '\0';
    return buffer;
}

int32_t getInt(const char* text, const char* key) {
    char value[kNumberBuffer];
    getString(value, sizeof value, text, key);
    if (value[0] == '\0') return 0;
    double v = std::trunc(platform::parseDouble(value));
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (v <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

float getFloat(const char* text, const char* key) {
    char value[kNumberBuffer];
    getString(value, sizeof value, text, key);
    if (value[0] == '\0') return 0.0f;
    return readFloat(value);
}

int getFloatList(const char* text, float* out, int slots, const char* key) {
    char value[kListBuffer];
    getString(value, sizeof value, text, key);
    if (value[0] == '\0') return 0;
    if (!std::strchr(value, ')') && !std::strchr(value, '}')) return 0;
    int count = 0;
    const char* p = value + 1;  // past the opening bracket
    while (true) {
        const char* separator = std::strchr(p, ',');
        if (!separator) separator = std::strchr(p, '}');
        if (!separator) separator = std::strchr(p, ')');
        if (!separator) break;
        // No separator can be part of a number, so reading from p stops before it.
        if (out && count < slots) out[count++] = readFloat(p);
        else break;  // more values than the caller's slots: the rest are dropped
        p = separator + 1;
    }
    return count;
}

Vector3 getVector3(const char* text, const char* key) {
    Vector3 v{0.0f, 0.0f, 0.0f};
    char value[kVectorBuffer];
    getString(value, sizeof value, text, key);
    if (value[0] == '\0') return v;
    const char* p = value + 1;  // past the opening bracket
    v.x = readFloat(p);
    const char* comma = std::strchr(p, ',');
    if (!comma) return v;
    p = comma + 1;
    v.y = readFloat(p);
    comma = std::strchr(p, ',');
    if (!comma) return v;
    v.z = readFloat(comma + 1);
    return v;
}
