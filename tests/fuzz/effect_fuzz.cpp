// Effect files: any text read as a "*.par" template, started as bursts and emitters and run for
// a few frames, stays within the pools and returns.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/frame_clock.h"
#include "platform/random.h"
#include "render/effects.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);  // a 0 byte inside ends the text early
    resetEffects();
    resetFrameClock();
    platform::srand(1);
    EffectTemplate t;
    readEffectTemplate(text.c_str(), "fuzz", t);
    addEffectTemplate(t);
    // A second template that names the first, so the external effects and their limit run.
    EffectTemplate chain;
    readEffectTemplate("externeffect1=fuzz\r\nexterneffect2=chain\r\nparfrequency=1\r\npartime=100\r\n", "chain", chain);
    addEffectTemplate(chain);
    startEffect("fuzz", 10.0f, 20.0f);
    startEffect("fuzz", 0.0f, 0.0f, 300.0f, -200.0f, 2.0f, 30);
    startEffect("chain", -5.0f, 5.0f);
    const float steps[] = {16.0f, 0.0f, 250.0f, 5000.0f};
    for (float dt : steps) {
        frameClock().runningMs += dt;
        updateParticles(dt);
        if (effectsState().itemCount < 0 || effectsState().itemCount > kMaxDrawItems) std::abort();
    }
    if (liveParticleCount() > kParticleRing || activeEmitterCount() > kEmitterRing) std::abort();
    return 0;
}
