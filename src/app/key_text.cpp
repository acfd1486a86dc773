#include "app/key_text.h"

// Not written yet: the resource store issue fills these in.
char* getString(char* buffer, size_t capacity, const char*, const char*) {
    if (buffer && capacity > 0) buffer[0] = '\0';
    return buffer;
}
int32_t getInt(const char*, const char*) { return 0; }
float getFloat(const char*, const char*) { return 0.0f; }
int getFloatList(const char*, float*, int, const char*) { return 0; }
Vector3 getVector3(const char*, const char*) { return Vector3{0.0f, 0.0f, 0.0f}; }
