// Text in the program's bitmap font.
#pragma once

#include <cstdint>

struct TextureEntry;

constexpr int kMaxFonts = 8;

// The metrics of a font: advance per character (relative to the text size) and its cell.
struct FontMetrics {
    float advance[256];
    uint8_t cell[256];
    int32_t cellsPerRow;  // N
    float cellSize;       // 1 / N
};

// Reads a "%s.dat" metrics file: at least 516 bytes with 1 <= N <= 512; false otherwise.
bool parseFontMetrics(const uint8_t* bytes, int32_t size, float scaleX, FontMetrics& out);

void loadFont(const char* baseName, float scaleX, float ratioY);
void selectFont(int number);
int fontCount();
void setTextColour(uint32_t argb);
void setTextColour(int red, int green, int blue, int alpha);
uint32_t textColour();
void setTextSize(float size);
float textSize();
void drawText(float x, float y, float size, const char* text, bool centred = false);
float textWidth(const char* text, float size);
void drawHighlightedText(float x, float y, float size, uint32_t barColour, const char* text, bool centring);
void drawHighlightBar(float x0, float y0, float x1, float y1, uint32_t colour);
// The fonts and the highlight picture are forgotten (their textures go with the device).
void releaseFonts();
