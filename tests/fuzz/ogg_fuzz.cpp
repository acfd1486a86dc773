// Cue files: the whole Ogg Vorbis decode, as the game does it at load, and a short mix of the
// result at an odd playback rate.
#include <cstddef>
#include <cstdint>
#include <utility>

#include "platform/mixer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    platform::DecodedSound sound;
    if (!platform::decodeOggVorbis(data, size, sound)) return 0;
    platform::resetMixer();
    platform::setMixerEnabled(true);
    uint32_t sample = platform::addSample(std::move(sound));
    platform::playSample(sample, 37011, false);
    platform::playSample(sample, 100000, true);
    int16_t out[2 * 512];
    platform::mixFrames(out, 512);
    platform::resetMixer();
    return 0;
}
