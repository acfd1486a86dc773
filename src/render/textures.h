// The texture cache: every picture of the game, found by file name.
#pragma once

#include <cstdint>

struct TextureEntry {
    char name[128];
    uint32_t width;
    uint32_t height;
    uint8_t hasAlpha;
    uint8_t renderTarget;
    uint32_t format;
};

TextureEntry* loadTexture(const char* name, bool fatal = true, bool force32 = false);
TextureEntry* loadPictureIntoPow2(const char* name, int width, int height);
void releaseTexture(TextureEntry* texture);
