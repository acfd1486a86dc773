#include "render/textures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/resource_store.h"
#include "platform/fatal.h"
#include "platform/gpu.h"
#include "platform/image.h"
#include "render/device.h"

namespace {
struct TextureCacheState {
    TextureEntry pool[kTextureCacheCapacity];
    bool used[kTextureCacheCapacity];
    TextureEntry* order[kTextureCacheCapacity];
    int count = 0;
    const TextureFileSource* source = nullptr;
};
TextureCacheState gCache;

bool nameHasTga(const char* name) { return std::strstr(name, ".tga") || std::strstr(name, ".TGA"); }

TextureEntry* appendEntry(const char* name, uint32_t width, uint32_t height) {
    if (gCache.count >= kTextureCacheCapacity) return nullptr;
    for (int i = 0; i < kTextureCacheCapacity; ++i) {
        if (gCache.used[i]) continue;
        gCache.used[i] = true;
        TextureEntry* e = &gCache.pool[i];
        *e = TextureEntry{};
        std::snprintf(e->name, sizeof e->name, "%s", name);
        e->width = width;
        e->height = height;
        gCache.order[gCache.count++] = e;
        return e;
    }
    return nullptr;
}

void freeDeviceTexture(TextureEntry* e) {
    if (boundTexture() == e) bindTexture(nullptr);
    if (renderTargetTexture() == e) setRenderTargetTexture(nullptr);
    if (e->renderTarget) {
        platform::gpu::deleteRenderTarget(e->texture, e->framebuffer);
    } else {
        platform::gpu::deleteTexture(e->texture);
    }
    e->texture = 0;
    e->framebuffer = 0;
}

void removeAt(int index) {
    TextureEntry* e = gCache.order[index];
    freeDeviceTexture(e);
    gCache.used[e - gCache.pool] = false;
    for (int i = index; i + 1 < gCache.count; ++i) gCache.order[i] = gCache.order[i + 1];
    --gCache.count;
}

[[noreturn]] void textureFatal(const char* format, const char* name) {
    char text[256];
    std::snprintf(text, sizeof text, format, name);
    platform::fatal(text, "Loading error");
}

// The device texture for decoded pixels; true also when there is no device (the entry then
// has no texture, as in tests of game logic).
bool makeDeviceTexture(TextureEntry* e, const uint8_t* rgba, int levels) {
    if (!platform::gpu::ready()) return true;
    e->texture = platform::gpu::createTexture(static_cast<int>(e->width), static_cast<int>(e->height), levels, rgba);
    return e->texture != 0;
}

// Copies the top-left part of a picture into a texture-sized RGBA buffer.
void placePicture(const platform::Picture& picture, std::vector<uint8_t>& texels, int textureWidth, int w, int h) {
    int cw = std::min(w, picture.width);
    int ch = std::min(h, picture.height);
    for (int y = 0; y < ch; ++y) {
        std::memcpy(&texels[(static_cast<size_t>(y) * textureWidth) * 4],
                    &picture.rgba[(static_cast<size_t>(y) * picture.width) * 4], static_cast<size_t>(cw) * 4);
    }
}
}  // namespace

void setTextureFileSource(const TextureFileSource* source) { gCache.source = source; }

uint8_t* loadPictureFile(const char* name, int32_t* size, bool fatal) {
    if (gCache.source) return gCache.source->load(name, size, fatal);
    return loadFile(name, size, fatal);
}

void releasePictureFile(const void* data) {
    if (!data) return;
    if (gCache.source) gCache.source->release(data);
    else releaseByData(data);
}

int powerOfTwoSize(int n) {
    if (n > 1024) return 0;
    int p = 2;
    while (p < n) p *= 2;
    return p;
}

bool alphaJpegName(const char* name, char* out, int capacity) {
    if (!name || !nameHasTga(name) || capacity <= 0) return false;
    const char* dot = std::strchr(name, '.');
    int stem = static_cast<int>(dot - name);
    std::snprintf(out, static_cast<size_t>(capacity), "_a_%.*s.jpg", stem, name);
    return true;
}

int32_t alphaJpegSplit(const uint8_t* bytes, int32_t size) {
    if (!bytes) return 0;
    for (int32_t i = 0; i + 1 < size; ++i) {
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xD9) return i + 2;
    }
    return size;
}

TextureEntry* findTexture(const char* name) {
    if (!name) return nullptr;
    for (int i = 0; i < gCache.count; ++i)
        if (std::strcmp(gCache.order[i]->name, name) == 0) return gCache.order[i];
    return nullptr;
}

namespace {
TextureEntry* loadTextureLevels(const char* name, bool fatal, bool force32, int levels);
}  // namespace

TextureEntry* loadTexture(const char* name, bool fatal, bool force32) {
    return loadTextureLevels(name, fatal, force32, 2);
}

TextureEntry* loadTextureOneLevel(const char* name, bool fatal) { return loadTextureLevels(name, fatal, false, 1); }

namespace {
TextureEntry* loadTextureLevels(const char* name, bool fatal, bool force32, int levels) {
    if (!name) return nullptr;
    if (TextureEntry* cached = findTexture(name)) return cached;
    char alias[160];
    if (alphaJpegName(name, alias, sizeof alias)) {
        // A second request finds the alpha JPEG's entry; its file was given back the first time.
        if (TextureEntry* cached = findTexture(alias)) return cached;
        if (TextureEntry* e = loadAlphaJpeg(alias, false)) return e;
    }
    int32_t size = 0;
    uint8_t* bytes = loadPictureFile(name, &size, false);
    platform::Picture picture;
    TextureEntry* e = nullptr;
    if (bytes && platform::decodePicture(bytes, size, picture)) {
        e = appendEntry(name, static_cast<uint32_t>(picture.width), static_cast<uint32_t>(picture.height));
        if (e && !makeDeviceTexture(e, picture.rgba.data(), levels)) {
            removeAt(gCache.count - 1);
            e = nullptr;
        }
    }
    if (!e) {
        if (fatal) textureFatal("Couldn't load texture: %s", name);
        return nullptr;
    }
    e->hasAlpha = (force32 || nameHasTga(name)) ? 1 : 0;
    // The file stays in the store.
    return e;
}
}  // namespace

bool readPicturePixels(const char* name, std::vector<uint8_t>& rgba, int& width, int& height) {
    width = height = 0;
    rgba.clear();
    if (!name) return false;
    platform::Picture picture;
    char alias[160];
    bool ok = false;
    if (alphaJpegName(name, alias, sizeof alias)) {
        int32_t size = 0;
        if (uint8_t* bytes = loadPictureFile(alias, &size, false)) {
            const int32_t jpegSize = alphaJpegSplit(bytes, size);
            if (platform::decodePicture(bytes, jpegSize, picture)) {
                const size_t pixels = static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height);
                const size_t n = std::min(pixels, static_cast<size_t>(size - jpegSize));
                for (size_t i = 0; i < n; ++i) picture.rgba[i * 4 + 3] = bytes[jpegSize + i];
                ok = true;
            }
        }
    }
    if (!ok) {
        int32_t size = 0;
        uint8_t* bytes = loadPictureFile(name, &size, false);
        ok = bytes && platform::decodePicture(bytes, size, picture);
    }
    if (!ok) return false;
    width = picture.width;
    height = picture.height;
    rgba = std::move(picture.rgba);
    return true;
}

TextureEntry* loadAlphaJpeg(const char* name, bool fatal) {
    if (!name) return nullptr;
    int32_t size = 0;
    uint8_t* bytes = loadPictureFile(name, &size, false);
    if (!bytes) return nullptr;
    int32_t jpegSize = alphaJpegSplit(bytes, size);
    platform::Picture picture;
    TextureEntry* e = nullptr;
    if (platform::decodePicture(bytes, jpegSize, picture)) {
        // The plane lies over the pixels in memory order; missing bytes leave them opaque.
        size_t pixels = static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height);
        size_t plane = static_cast<size_t>(size - jpegSize);
        size_t n = std::min(pixels, plane);
        const uint8_t* alpha = bytes + jpegSize;
        for (size_t i = 0; i < n; ++i) picture.rgba[i * 4 + 3] = alpha[i];
        e = appendEntry(name, static_cast<uint32_t>(picture.width), static_cast<uint32_t>(picture.height));
        if (e && !makeDeviceTexture(e, picture.rgba.data(), 1)) {
            removeAt(gCache.count - 1);
            e = nullptr;
        }
    }
    if (!e) {
        if (fatal) textureFatal("Can't load texture: %s", name);
        return nullptr;
    }
    e->hasAlpha = 1;
    releasePictureFile(bytes);
    return e;
}

TextureEntry* createTexture(const char* name, int width, int height, uint32_t format, bool renderTarget) {
    if (!name) return nullptr;
    if (TextureEntry* cached = findTexture(name)) return cached;
    TextureEntry* e = nullptr;
    if (width > 0 && height > 0) e = appendEntry(name, static_cast<uint32_t>(width), static_cast<uint32_t>(height));
    bool ok = e != nullptr;
    if (ok && platform::gpu::ready()) {
        if (renderTarget) ok = platform::gpu::createRenderTarget(width, height, e->texture, e->framebuffer);
        else ok = (e->texture = platform::gpu::createTexture(width, height, 1, nullptr)) != 0;
    }
    if (!ok) {
        if (e) removeAt(gCache.count - 1);
        char text[256];
        std::snprintf(text, sizeof text, "Couldn't create texture: %s", name);
        platform::messageBox(text, "Init error");
        return nullptr;
    }
    e->format = format;
    e->renderTarget = renderTarget ? 1 : 0;
    return e;
}

// The texture of a picture placed in its power-of-two texels, made from them at once (no
// cleared texture to fill afterwards: one upload, and no second texture-sized buffer).
TextureEntry* createPow2Texture(const char* name, int pw, int ph, const std::vector<uint8_t>& texels) {
    if (pw <= 0 || ph <= 0) return createTexture(name, pw, ph, kFormatA8R8G8B8, false);
    TextureEntry* e = appendEntry(name, static_cast<uint32_t>(pw), static_cast<uint32_t>(ph));
    if (e && !makeDeviceTexture(e, texels.data(), 1)) {
        removeAt(gCache.count - 1);
        e = nullptr;
    }
    if (!e) {
        char text[256];
        std::snprintf(text, sizeof text, "Couldn't create texture: %s", name);
        platform::messageBox(text, "Init error");
        return nullptr;
    }
    e->format = kFormatA8R8G8B8;
    return e;
}

TextureEntry* loadPictureIntoPow2(const char* name, int width, int height) {
    if (!name) return nullptr;
    if (TextureEntry* cached = findTexture(name)) return cached;
    int pw = powerOfTwoSize(width), ph = powerOfTwoSize(height);
    std::vector<uint8_t> texels(static_cast<size_t>(std::max(pw, 0)) * static_cast<size_t>(std::max(ph, 0)) * 4, 0);
    int32_t size = 0;
    uint8_t* bytes = pw > 0 && ph > 0 ? loadPictureFile(name, &size, true) : nullptr;
    {
        platform::Picture picture;
        if (bytes && platform::decodePicture(bytes, size, picture)) placePicture(picture, texels, pw, width, height);
    }
    TextureEntry* e = createPow2Texture(name, pw, ph, texels);
    releasePictureFile(bytes);
    return e;
}

TextureEntry* loadAlphaPictureIntoPow2(const char* name, int width, int height) {
    if (!name || width <= 0 || height <= 0) return nullptr;
    int32_t size = 0;
    uint8_t* bytes = loadPictureFile(name, &size, false);
    if (!bytes) return nullptr;
    int32_t jpegSize = alphaJpegSplit(bytes, size);
    int pw = powerOfTwoSize(width), ph = powerOfTwoSize(height);
    if (TextureEntry* cached = findTexture(name)) {
        releasePictureFile(bytes);
        return cached;
    }
    if (pw <= 0 || ph <= 0) {
        releasePictureFile(bytes);
        return createTexture(name, pw, ph, kFormatA8R8G8B8, false);
    }
    std::vector<uint8_t> texels(static_cast<size_t>(pw) * static_cast<size_t>(ph) * 4, 0);
    {
        platform::Picture picture;
        if (platform::decodePicture(bytes, jpegSize, picture)) placePicture(picture, texels, pw, width, height);
    }
    // Alpha byte y * w + x goes to pixel (x, y); bytes the plane lacks leave the pixel opaque.
    const uint8_t* alpha = bytes + jpegSize;
    size_t plane = static_cast<size_t>(size - jpegSize);
    int rows = std::min(height, ph), columns = std::min(width, pw);
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < columns; ++x) {
            size_t k = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
            texels[(static_cast<size_t>(y) * pw + x) * 4 + 3] = k < plane ? alpha[k] : 255;
        }
    }
    TextureEntry* e = createPow2Texture(name, pw, ph, texels);
    releasePictureFile(bytes);
    return e;
}

TextureEntry* copyTextureWithMask(const char* newName, const char* sourceName, const char* maskName) {
    TextureEntry* source = loadTexture(sourceName, true, true);
    if (!source) return nullptr;
    TextureEntry* e = createTexture(newName, static_cast<int>(source->width), static_cast<int>(source->height),
                                    kFormatA8R8G8B8, false);
    if (!e) return nullptr;
    // The mask is only read: its decoded pixels serve, and no texture of it is kept.
    std::vector<uint8_t> maskTexels;
    int maskWidth = 0, maskHeight = 0;
    if (!readPicturePixels(maskName, maskTexels, maskWidth, maskHeight))
        textureFatal("Couldn't load texture: %s", maskName ? maskName : "");
    if (!e->texture || !source->texture) return e;
    size_t pixels = static_cast<size_t>(e->width) * e->height;
    std::vector<uint8_t> texels(static_cast<size_t>(source->width) * source->height * 4);
    if (!platform::gpu::readTexture(source->texture, texels.data())) return e;
    texels.resize(pixels * 4, 0);
    size_t maskPixels = static_cast<size_t>(maskWidth) * static_cast<size_t>(maskHeight);
    bool haveMask = maskPixels > 0;
    // Alpha of pixel i = the blue byte of mask pixel i; past the end of the mask, opaque.
    for (size_t i = 0; i < pixels; ++i) texels[i * 4 + 3] = (haveMask && i < maskPixels) ? maskTexels[i * 4 + 2] : 255;
    platform::gpu::uploadTexture(e->texture, 0, 0, static_cast<int>(e->width), static_cast<int>(e->height),
                                 texels.data());
    e->hasAlpha = 1;
    return e;
}

TextureEntry* createTextureFromPixels(const char* name, const uint8_t* rgba, int width, int height, bool hasAlpha) {
    if (!name || !rgba || width <= 0 || height <= 0) return nullptr;
    if (TextureEntry* cached = findTexture(name)) return cached;
    TextureEntry* e = appendEntry(name, static_cast<uint32_t>(width), static_cast<uint32_t>(height));
    if (!e) return nullptr;
    if (!makeDeviceTexture(e, rgba, 1)) {
        removeAt(gCache.count - 1);
        return nullptr;
    }
    e->hasAlpha = hasAlpha ? 1 : 0;
    e->format = kFormatA8R8G8B8;
    return e;
}

namespace {
// The texel at (u, v) of a w x h picture, filtered between its four nearest texels with the
// edges clamped, as the sampler of the drawing does.
void sampleBilinear(const std::vector<uint8_t>& rgba, int w, int h, float u, float v, uint8_t* out) {
    const float fx = u * static_cast<float>(w) - 0.5f, fy = v * static_cast<float>(h) - 0.5f;
    const float bx = std::floor(fx), by = std::floor(fy);
    const float ax = fx - bx, ay = fy - by;
    auto clampTo = [](float n, int size) { return static_cast<size_t>(std::clamp(static_cast<int>(n), 0, size - 1)); };
    const size_t x0 = clampTo(bx, w), x1 = clampTo(bx + 1.0f, w);
    const size_t y0 = clampTo(by, h), y1 = clampTo(by + 1.0f, h);
    const size_t row = static_cast<size_t>(w);
    for (size_t k = 0; k < 4; ++k) {
        const float top = rgba[(y0 * row + x0) * 4 + k] * (1.0f - ax) + rgba[(y0 * row + x1) * 4 + k] * ax;
        const float bottom = rgba[(y1 * row + x0) * 4 + k] * (1.0f - ax) + rgba[(y1 * row + x1) * 4 + k] * ax;
        out[k] = static_cast<uint8_t>(std::lround(top * (1.0f - ay) + bottom * ay));
    }
}
}  // namespace

TextureEntry* loadTurnedTexture(const char* newName, const char* sourceName, float degrees, float width,
                                float height, int box) {
    if (!newName || !sourceName || box <= 0 || box > 1024 || !(width > 0.0f) || !(height > 0.0f)) return nullptr;
    if (TextureEntry* cached = findTexture(newName)) return cached;
    std::vector<uint8_t> source;
    int w = 0, h = 0;
    if (!readPicturePixels(sourceName, source, w, h)) return nullptr;
    const float a = degrees * 0.017453292f;
    const float c = std::cos(a), s = std::sin(a);
    const float centre = static_cast<float>(box) / 2.0f;
    std::vector<uint8_t> turned(static_cast<size_t>(box) * static_cast<size_t>(box) * 4, 0);
    for (int j = 0; j < box; ++j)
        for (int i = 0; i < box; ++i) {
            // The pixel's centre, y up as on the screen, turned back onto the unturned quad.
            const float dx = static_cast<float>(i) + 0.5f - centre, dy = centre - static_cast<float>(j) - 0.5f;
            const float px = dx * c + dy * s, py = dy * c - dx * s;
            const float u = px / width + 0.5f, v = 0.5f - py / height;
            if (u < 0.0f || u > 1.0f || v < 0.0f || v > 1.0f) continue;
            sampleBilinear(source, w, h, u, v, &turned[(static_cast<size_t>(j) * box + i) * 4]);
        }
    return createTextureFromPixels(newName, turned.data(), box, box, true);
}

void releaseTexture(TextureEntry* texture) {
    for (int i = 0; i < gCache.count; ++i) {
        if (gCache.order[i] == texture) {
            removeAt(i);
            return;
        }
    }
}

void releaseTextureByName(const char* name) {
    if (TextureEntry* e = findTexture(name)) releaseTexture(e);
}

void releaseAllTextures() {
    while (gCache.count > 0) removeAt(gCache.count - 1);
}

void releaseRenderTargets() {
    for (int i = 0; i < gCache.count; ++i) {
        TextureEntry* e = gCache.order[i];
        if (e->renderTarget) freeDeviceTexture(e);
    }
}

void recreateRenderTargets() {
    for (int i = 0; i < gCache.count; ++i) {
        TextureEntry* e = gCache.order[i];
        if (e->renderTarget && !e->texture)
            platform::gpu::createRenderTarget(static_cast<int>(e->width), static_cast<int>(e->height), e->texture,
                                              e->framebuffer);
    }
}

int textureCount() { return gCache.count; }

TextureEntry* textureAt(int index) { return index >= 0 && index < gCache.count ? gCache.order[index] : nullptr; }
