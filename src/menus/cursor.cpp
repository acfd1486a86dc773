#include "menus/cursor.h"

#include "platform/window.h"

void logicalCursor(float& x, float& y) {
    float cx = 0.0f;
    float cy = 0.0f;
    platform::cursorPosition(cx, cy);
    // The cursor comes in picture pixels; the picture is 800 x 600 whatever the window's size.
    const float w = static_cast<float>(platform::kPictureWidth);
    const float h = static_cast<float>(platform::kPictureHeight);
    x = w > 0.0f ? cx * 800.0f / w - 400.0f : 0.0f;
    y = h > 0.0f ? 300.0f - cy * 600.0f / h : 0.0f;
}
