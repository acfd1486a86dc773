// Backdrop layouts ("level%i.lev"): any bytes read as a layout, with objects of every kind
// known by name, placed and animated for a few frames (no device: only the objects' logic).
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "app/frame_clock.h"
#include "platform/random.h"
#include "render/backdrops.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes(data, data + size);
    resetBackdrops();
    resetFrameClock();
    platform::srand(1);
    for (const char* name : {"skyday", "waterfall", "water", "spray", "leaves1", "leaves2", "leavespine", "chest"})
        addGameObject(name, nullptr, nullptr, 0);
    int count = layoutObjectCount(bytes.data(), static_cast<int32_t>(bytes.size()));
    if (count < 0 || count > kMaxBackdropObjects) std::abort();
    if (count > 0 && size_t(kLayoutHeaderBytes) + size_t(count) * kLayoutRecordBytes > size) std::abort();
    for (int i = 0; i < count; ++i) (void)layoutRecord(bytes.data(), i);
    setLayoutBytes(3, bytes.data(), static_cast<int32_t>(bytes.size()));
    loadBackdropLayout(3);
    const BackdropScene& s = backdropState().scene;
    if (s.objectCount < 0 || s.objectCount > count) std::abort();
    backdropState().scene.number = 3;
    for (float dt : {16.0f, 0.0f, 300.0f, 16.0f}) {
        frameClock().frameMs = dt;
        drawStillBackdrop();
        frameClock().runningMs += dt;
        if (backdropState().leafCount > kMaxLeafSprites) std::abort();
    }
    // The same layout as the incoming backdrop of a transition.
    backdropState().scene.incomingNumber = 3;
    backdropState().scene.timer = 1400.0f;
    for (int f = 0; f < 3; ++f) {
        frameClock().frameMs = 16.0f;
        drawBackdrop(f == 1);
    }
    return 0;
}
