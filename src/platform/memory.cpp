#include "platform/memory.h"

#include <malloc.h>

namespace platform {

void returnFreedMemoryEarly() {
    // A fixed threshold also stops the allocator from raising it after each large free, which
    // would let the next picture-sized buffers settle in the heap for good.
    mallopt(M_MMAP_THRESHOLD, 64 * 1024);
    mallopt(M_TRIM_THRESHOLD, 256 * 1024);
}

}  // namespace platform
