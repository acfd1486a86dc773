// Text in the program's bitmap font.
#pragma once

#include <cstdint>

void loadFont(const char* baseName, float scaleX, float ratioY);
void selectFont(int number);
void setTextColour(uint32_t argb);
void setTextColour(int red, int green, int blue, int alpha);
void setTextSize(float size);
void drawText(float x, float y, float size, const char* text, bool centred = false);
float textWidth(const char* text, float size);
