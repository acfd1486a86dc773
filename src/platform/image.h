// Picture decoding and encoding over stb_image: JPEG (baseline and progressive) and TGA (raw
// and run-length, either origin) decode to 8-bit RGBA rows, top row first; PNG for frame
// captures; JPEG and TGA encoders for the data forge and the tests.
#pragma once

#include <cstdint>
#include <vector>

namespace platform {

// A decoded picture: width x height pixels of 4 bytes (red, green, blue, alpha), top row first.
// Pictures without alpha come out opaque (alpha 255).
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
    bool empty() const { return width <= 0 || height <= 0; }
};

// False (and an empty picture) when the bytes are no picture stb_image can read.
bool decodePicture(const uint8_t* bytes, int32_t size, Picture& out);
// Width and height without decoding; false when unknown.
bool pictureSize(const uint8_t* bytes, int32_t size, int& width, int& height);

bool writePng(const char* path, const uint8_t* rgba, int width, int height);
// Encoders to memory (quality 1..100 for JPEG; TGA keeps alpha, run-length when asked).
std::vector<uint8_t> encodeJpeg(const uint8_t* rgba, int width, int height, int quality);
std::vector<uint8_t> encodeTga(const uint8_t* rgba, int width, int height, bool runLength);
std::vector<uint8_t> encodePng(const uint8_t* rgba, int width, int height);

}  // namespace platform
