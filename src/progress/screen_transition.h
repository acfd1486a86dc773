// The screen transition drawn over the game, map and trophy-room scenes: a picture whose
// transparent middle shows the scene, growing (opening) or shrinking (closing) over black.
#pragma once

constexpr int kTransitionCaptionBytes = 128;

struct ScreenTransition {
    float elapsed = 0.0f;  // 0: idle
    float duration = 1000.0f;
    int direction = 1;     // +1 opening, -1 closing
    char caption[kTransitionCaptionBytes] = {};
};

ScreenTransition& screenTransition();
void resetScreenTransition();
// Both play "Gag.ogg"; the caption is a string-table name (nullptr or "" for none).
void openTransition(float durationMs, const char* captionKey = nullptr);
void closeTransition(float durationMs, const char* captionKey = nullptr);
bool transitionRunning();
// The size of the effect in this frame: p when opening, 1 - p when closing (p = elapsed / D).
float transitionAmount();
// Draws the effect at a (nothing outside 0..1).
void drawTransitionAt(float a, const char* caption);
// Draws this frame's effect and moves the time on; a finished closing turns into an opening.
void advanceScreenTransition();
