// A record of the game's outward calls (cues, effects, tips, banners), switched on by tests
// so that they can check which cue or effect was started where and when.
#pragma once

#include <cstdint>

struct TraceEntry {
    char kind[16];   // "sound", "effect", "tip", "banner", ...
    char name[48];
    float x;
    float y;
    int32_t value;
    float atMs;      // running time of the frame clock
};

constexpr int kTraceCapacity = 4096;

void traceCall(const char* kind, const char* name, float x = 0.0f, float y = 0.0f, int32_t value = 0);
void setTracing(bool on);
bool tracing();
void clearTrace();
int traceCount();
const TraceEntry& traceAt(int index);  // oldest first
// Number of entries of that kind (and name, when given).
int countTraced(const char* kind, const char* name = nullptr);
