#include "platform/image.h"

#include <cstdlib>
#include <cstring>

#include <stb_image.h>
#include <stb_image_write.h>

namespace platform {

namespace {
// Pictures larger than this on a side are refused before decoding (hostile headers).
constexpr int kMaxSide = 4096;

void appendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    const auto* bytes = static_cast<const uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}
}  // namespace

bool pictureSize(const uint8_t* bytes, int32_t size, int& width, int& height) {
    width = height = 0;
    if (!bytes || size <= 0) return false;
    int channels = 0;
    if (!stbi_info_from_memory(bytes, size, &width, &height, &channels)) {
        width = height = 0;
        return false;
    }
    return width > 0 && height > 0;
}

bool decodePicture(const uint8_t* bytes, int32_t size, Picture& out) {
    out = Picture{};
    int w = 0, h = 0;
    if (!pictureSize(bytes, size, w, h)) return false;
    if (w > kMaxSide || h > kMaxSide) return false;
    int channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(bytes, size, &w, &h, &channels, 4);
    if (!pixels) return false;
    out.width = w;
    out.height = h;
    out.rgba.assign(pixels, pixels + static_cast<size_t>(w) * static_cast<size_t>(h) * 4);
    stbi_image_free(pixels);
    return true;
}

bool writePng(const char* path, const uint8_t* rgba, int width, int height) {
    if (!path || !rgba || width <= 0 || height <= 0) return false;
    return stbi_write_png(path, width, height, 4, rgba, width * 4) != 0;
}

std::vector<uint8_t> encodeJpeg(const uint8_t* rgba, int width, int height, int quality) {
    std::vector<uint8_t> out;
    if (!rgba || width <= 0 || height <= 0) return out;
    stbi_write_jpg_to_func(appendBytes, &out, width, height, 4, rgba, quality);
    return out;
}

std::vector<uint8_t> encodeTga(const uint8_t* rgba, int width, int height, bool runLength) {
    std::vector<uint8_t> out;
    if (!rgba || width <= 0 || height <= 0) return out;
    // The encoder's run-length switch is a global of stb_image_write.
    int saved = stbi_write_tga_with_rle;
    stbi_write_tga_with_rle = runLength ? 1 : 0;
    stbi_write_tga_to_func(appendBytes, &out, width, height, 4, rgba);
    stbi_write_tga_with_rle = saved;
    return out;
}

std::vector<uint8_t> encodePng(const uint8_t* rgba, int width, int height) {
    std::vector<uint8_t> out;
    if (!rgba || width <= 0 || height <= 0) return out;
    stbi_write_png_to_func(appendBytes, &out, width, height, 4, rgba, width * 4);
    return out;
}

}  // namespace platform
