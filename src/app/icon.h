// The window icon: a small cut gem, drawn by code so that it exists before any data is read.
#pragma once

#include <cstdint>
#include <vector>

constexpr int kIconSize = 32;

// RGBA pixels, kIconSize x kIconSize, rows top to bottom.
std::vector<uint8_t> makeWindowIcon();
