// The left panel's buttons: the rectangles they are drawn in are the areas a click finds them
// by. Their x positions move with the panel's slide (board().hudSlide).
#pragma once

struct HudRect {
    float left, right, bottom, top;
};

constexpr HudRect kMenuButtonRect{-380.0f, -295.0f, 2.0f, 22.0f};
constexpr HudRect kTrophiesButtonRect{-380.0f, -295.0f, 42.0f, 62.0f};
constexpr HudRect kHammerButtonRect{-378.0f, -314.0f, -136.0f, -2.0f};

inline bool insideHudRect(const HudRect& r, float x, float y, float slide) {
    return x >= r.left + slide && x <= r.right + slide && y >= r.bottom && y <= r.top;
}
