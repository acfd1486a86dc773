// The pack reader on any bytes: a damaged pack stops with the loading message (caught here),
// a good one gives entries that all lie inside the pack buffer.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "app/resource_store.h"
#include "platform/fatal.h"

namespace {
struct Stopped : std::runtime_error {
    Stopped() : std::runtime_error("stopped") {}
};
void stopHook(const char*, const char*) { throw Stopped(); }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    platform::setFatalHook(stopHook);
    resetResourceStore();
    uint8_t* buffer = static_cast<uint8_t*>(std::malloc(size + 1));
    if (!buffer) return 0;
    if (size > 0) std::memcpy(buffer, data, size);
    buffer[size] = 0;
    bool wellFormed = packIsWellFormed(data, size);
    bool stopped = false;
    try {
        openPackBuffer("targa.dat", buffer, static_cast<int32_t>(size));
    } catch (const Stopped&) {
        stopped = true;
    }
    // Only a damaged pack, or one with more entries than the store holds, may stop.
    bool storeFull = resourceCount() == kStoreCapacity;
    if (stopped && wellFormed && !storeFull) std::abort();
    if (!stopped && !wellFormed) std::abort();
    if (!stopped) {
        const ResourceEntry* pack = resourceAt(0);
        unsigned sum = 0;
        for (int i = 1; i < resourceCount(); ++i) {
            const ResourceEntry* e = resourceAt(i);
            if (e->data < pack->data || e->data + e->size > pack->data + pack->size) std::abort();
            // Every entry is found by its own name, first match first.
            if (!findEntry(e->name)) std::abort();
            for (int32_t k = 0; k < e->size; ++k) sum += e->data[k];
        }
        if (sum == 0xFFFFFFFFu) std::abort();  // keeps the reads
    }
    resetResourceStore();
    platform::setFatalHook(nullptr);
    return 0;
}
