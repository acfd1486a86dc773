// The music module: loaded by content through the tracker library, started at an order and
// mixed for a moment.
#include <cstddef>
#include <cstdint>

#include "platform/mixer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    platform::resetMixer();
    platform::setMixerEnabled(true);
    if (platform::loadModuleMemory(data, size)) {
        platform::playModule(size > 0 ? data[0] % 100 : 0);
        int16_t out[2 * 1024];
        platform::mixFrames(out, 1024);
        platform::playModule(0);
        platform::mixFrames(out, 1024);
    }
    platform::resetMixer();
    return 0;
}
