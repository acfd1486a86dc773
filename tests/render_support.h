// Shared helpers of the drawing tests: an offscreen device, the picture read back as RGBA, an
// in-memory picture source for the texture cache, and picture builders.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/fatal.h"
#include "platform/gpu.h"
#include "platform/image.h"
#include "platform/window.h"
#include "render/device.h"
#include "render/sprites.h"
#include "render/text.h"
#include "render/textures.h"
#include "test_support.h"

namespace render_test {

struct Rgba {
    int r, g, b, a;
};

// Files served to the texture cache from memory; release forgets them, as the store does.
struct MemoryFiles {
    std::map<std::string, std::vector<uint8_t>> files;
    std::vector<std::string> released;
};
inline MemoryFiles& memoryFiles() {
    static MemoryFiles files;
    return files;
}
inline uint8_t* memoryLoad(const char* name, int32_t* size, bool fatal) {
    auto& f = memoryFiles().files;
    auto it = f.find(name);
    if (it == f.end()) {
        if (fatal) {
            char text[256];
            std::snprintf(text, sizeof text, "Can't load %s...\nProgram will now stop.", name);
            platform::fatal(text, "Loading Error");
        }
        return nullptr;
    }
    if (size) *size = static_cast<int32_t>(it->second.size());
    return it->second.data();
}
inline void memoryRelease(const void* data) {
    auto& f = memoryFiles().files;
    for (auto it = f.begin(); it != f.end(); ++it) {
        if (it->second.data() == data) {
            memoryFiles().released.push_back(it->first);
            f.erase(it);
            return;
        }
    }
}
inline const TextureFileSource kMemorySource{memoryLoad, memoryRelease};

inline void addFile(const std::string& name, std::vector<uint8_t> bytes) {
    // Never empty, so that data() is a distinct pointer.
    if (bytes.empty()) bytes.push_back(0);
    memoryFiles().files[name] = std::move(bytes);
}

// A picture of w x h filled by a function of (x, y).
template <typename F>
std::vector<uint8_t> makePixels(int w, int h, F colourAt) {
    std::vector<uint8_t> rgba(static_cast<size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            Rgba c = colourAt(x, y);
            uint8_t* p = &rgba[(static_cast<size_t>(y) * w + x) * 4];
            p[0] = static_cast<uint8_t>(c.r);
            p[1] = static_cast<uint8_t>(c.g);
            p[2] = static_cast<uint8_t>(c.b);
            p[3] = static_cast<uint8_t>(c.a);
        }
    }
    return rgba;
}

// An offscreen device with the 2D preset, a memory picture source and an empty cache.
class RenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::setHeadless(true);
        ASSERT_TRUE(initDevice());
        memoryFiles() = MemoryFiles{};
        setTextureFileSource(&kMemorySource);
        setTint(1, 1, 1, 1);
        setCulling(false);  // as for all drawing in 2D
        begin2D();
        clearTarget(0xFF000000u);
        triangleCounter() = 0;
    }
    void TearDown() override {
        shutdownDevice();
        setTextureFileSource(nullptr);
        setTint(1, 1, 1, 1);
        platform::setFullScreen(false);
        platform::setHeadless(false);
    }
    // The picture being drawn, top row first.
    const std::vector<uint8_t>& picture() {
        pixels_.assign(800 * 600 * 4, 0);
        EXPECT_TRUE(platform::gpu::readPicture(pixels_.data()));
        return pixels_;
    }
    Rgba at(int x, int y) {
        if (pixels_.empty()) picture();
        const uint8_t* p = &pixels_[(static_cast<size_t>(y) * 800 + x) * 4];
        return Rgba{p[0], p[1], p[2], p[3]};
    }
    // Reads the picture again and gives one pixel.
    Rgba pixel(int x, int y) {
        picture();
        return at(x, y);
    }
    std::vector<uint8_t> pixels_;
};

inline ::testing::AssertionResult near(const Rgba& got, const Rgba& want, int tolerance = 1, bool alpha = false) {
    auto off = [&](int a, int b) { return a - b > tolerance || b - a > tolerance; };
    if (off(got.r, want.r) || off(got.g, want.g) || off(got.b, want.b) || (alpha && off(got.a, want.a)))
        return ::testing::AssertionFailure() << "got (" << got.r << ", " << got.g << ", " << got.b << ", " << got.a
                                             << ") want (" << want.r << ", " << want.g << ", " << want.b << ", "
                                             << want.a << ")";
    return ::testing::AssertionSuccess();
}

constexpr UVRect kFull{0.0f, 0.0f, 1.0f, 1.0f};

}  // namespace render_test
