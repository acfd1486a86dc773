#include "app/trace.h"

#include <cstdio>
#include <cstring>

#include "app/frame_clock.h"

namespace {
struct TraceState {
    bool on = false;
    int count = 0;  // total recorded; the ring keeps the newest kTraceCapacity
    TraceEntry ring[kTraceCapacity];
};
TraceState gTrace;
}  // namespace

void traceCall(const char* kind, const char* name, float x, float y, int32_t value) {
    if (!gTrace.on) return;
    TraceEntry& e = gTrace.ring[gTrace.count % kTraceCapacity];
    std::snprintf(e.kind, sizeof e.kind, "%s", kind ? kind : "");
    std::snprintf(e.name, sizeof e.name, "%s", name ? name : "");
    e.x = x;
    e.y = y;
    e.value = value;
    e.atMs = frameClock().runningMs;
    ++gTrace.count;
}

void setTracing(bool on) { gTrace.on = on; }
bool tracing() { return gTrace.on; }
void clearTrace() { gTrace.count = 0; }

int traceCount() { return gTrace.count < kTraceCapacity ? gTrace.count : kTraceCapacity; }

const TraceEntry& traceAt(int index) {
    int first = gTrace.count < kTraceCapacity ? 0 : gTrace.count - kTraceCapacity;
    return gTrace.ring[(first + index) % kTraceCapacity];
}

int countTraced(const char* kind, const char* name) {
    int n = 0;
    for (int i = 0; i < traceCount(); ++i) {
        const TraceEntry& e = traceAt(i);
        if (std::strcmp(e.kind, kind) != 0) continue;
        if (name && std::strcmp(e.name, name) != 0) continue;
        ++n;
    }
    return n;
}
