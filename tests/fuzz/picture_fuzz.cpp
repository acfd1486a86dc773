// Pictures (JPEG, TGA) and the alpha JPEG: decoding hostile bytes never reads past them.
#include <cstddef>
#include <cstdint>

#include "platform/image.h"
#include "render/textures.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int32_t length = size > 4000000 ? 4000000 : static_cast<int32_t>(size);
    int32_t jpeg = alphaJpegSplit(data, length);
    if (jpeg < 0 || jpeg > length) __builtin_trap();
    platform::Picture picture;
    if (platform::decodePicture(data, jpeg, picture)) {
        if (picture.rgba.size() != static_cast<size_t>(picture.width) * picture.height * 4) __builtin_trap();
    }
    platform::decodePicture(data, length, picture);
    return 0;
}
