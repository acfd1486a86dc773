// Text painted into the forge's pictures, from the DejaVu faces.
#pragma once

#include <string>

#include "art_canvas.h"

namespace forge::art {

// Draws text with its baseline at y; x is the centre when centred, else the left edge.
// Returns the width drawn.
float drawLabel(Image& im, float x, float y, float px, const std::string& text, Col colour, bool centred,
                bool serif = false);
float labelWidth(float px, const std::string& text, bool serif = false);

// The path of a DejaVu face ("DejaVu Sans:bold", "DejaVu Serif:bold").
std::string findFontFile(const std::string& pattern);

}  // namespace forge::art
