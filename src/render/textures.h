// The texture cache: every picture of the game, found by file name.
#pragma once

#include <cstdint>
#include <vector>

struct TextureEntry {
    char name[128];
    uint32_t width;
    uint32_t height;
    uint8_t hasAlpha;
    uint8_t renderTarget;
    uint32_t format;
    uint32_t texture;      // the device texture (0 when there is no device)
    uint32_t framebuffer;  // render targets: what draws into the texture
};

constexpr int kTextureCacheCapacity = 1023;

TextureEntry* loadTexture(const char* name, bool fatal = true, bool force32 = false);
// The same without the second, halved level: for pictures shown a little smaller than they
// are, where filtering between two levels costs a software rasterizer dearly and shows nothing.
TextureEntry* loadTextureOneLevel(const char* name, bool fatal = true);
TextureEntry* loadAlphaJpeg(const char* name, bool fatal);
TextureEntry* loadPictureIntoPow2(const char* name, int width, int height);
TextureEntry* loadAlphaPictureIntoPow2(const char* name, int width, int height);
TextureEntry* createTexture(const char* name, int width, int height, uint32_t format, bool renderTarget);
TextureEntry* copyTextureWithMask(const char* newName, const char* sourceName, const char* maskName);
// A texture made from pixels in memory (RGBA rows, top row first), cached under the name.
TextureEntry* createTextureFromPixels(const char* name, const uint8_t* rgba, int width, int height,
                                      bool hasAlpha);
// A picture shown at a fixed turn, turned once when it is loaded: drawn along the axes at box x box,
// centred where the turned picture's centre lies, the new texture shows what the picture drawn
// width x height and turned by degrees (counter-clockwise, as drawRotatedQuad turns) showed. A turned
// quad makes the software rasterizer fill every tile it touches the slow way; this one does not.
// Cached under newName; nullptr when the source picture cannot be read.
TextureEntry* loadTurnedTexture(const char* newName, const char* sourceName, float degrees, float width,
                                float height, int box);
TextureEntry* findTexture(const char* name);
// A picture's decoded pixels, found as loadTexture finds it (the alpha JPEG of a ".tga" name
// first); false when there is none.
bool readPicturePixels(const char* name, std::vector<uint8_t>& rgba, int& width, int& height);
void releaseTexture(TextureEntry* texture);
void releaseTextureByName(const char* name);
void releaseAllTextures();
// Around a reset of the device: render targets give up their device textures and get new ones.
void releaseRenderTargets();
void recreateRenderTargets();
int textureCount();
TextureEntry* textureAt(int index);

// The smallest power of two from 2 to 1024 that holds n; 0 above 1024.
int powerOfTwoSize(int n);
// The alpha JPEG name of a ".tga" or ".TGA" picture ("_a_" + name up to its first '.' + ".jpg");
// false for other names.
bool alphaJpegName(const char* name, char* out, int capacity);
// Splits an alpha JPEG at the first 0xFF 0xD9: the JPEG part ends with it, the alpha plane follows.
int32_t alphaJpegSplit(const uint8_t* bytes, int32_t size);

// Where pictures come from: the resource store, unless a test gives another source.
struct TextureFileSource {
    uint8_t* (*load)(const char* name, int32_t* size, bool fatal);
    void (*release)(const void* data);
};
void setTextureFileSource(const TextureFileSource* source);  // nullptr: the resource store
uint8_t* loadPictureFile(const char* name, int32_t* size, bool fatal);
void releasePictureFile(const void* data);
