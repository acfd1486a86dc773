// Key text: "key=value" lines read by searching the whole text for the key (first occurrence
// anywhere). Every reader takes the capacity of its output and cuts there.
#pragma once

#include <cstddef>
#include <cstdint>

// Copies what follows the first occurrence of key up to the next carriage return (or the end
// of the text) into buffer, cut to capacity - 1 characters; "" when the key does not occur.
char* getString(char* buffer, size_t capacity, const char* text, const char* key);
int32_t getInt(const char* text, const char* key);
float getFloat(const char* text, const char* key);
// Fills at most slots floats from a "(a,b,c)" or "{a,b,c}" value; returns how many were read.
int getFloatList(const char* text, float* out, int slots, const char* key);
struct Vector3 {
    float x, y, z;
};
Vector3 getVector3(const char* text, const char* key);
