// The loader scene: splash pictures, the loading bar, the deferred loading sequence and the
// hand-over to the menus.
#pragma once

#include <cstdint>

#include "app/scene.h"

struct TextureEntry;

// The byte total of our data set as the loading sequence counts it (every file the store
// takes in, each pack twice, every cue and the music module). A data test checks it.
constexpr uint32_t kDataSetBytes = 13436918;

struct LoaderState {
    TextureEntry* splash1 = nullptr;
    TextureEntry* splash2 = nullptr;
    bool hasSecondSplash = false;  // its file exists
    TextureEntry* loadScreen = nullptr;
    TextureEntry* loadBar = nullptr;
    float tint[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float splashTimer = 0.0f;
    bool secondSplash = false;
    float fadeTimer = 0.0f;
    float waitTimer = 0.0f;
    bool musicStarted = false;
    uint32_t itemsLoaded = 0;
    uint64_t bytesLoaded = 0;
    uint32_t lastRedrawMs = 0;
    bool redrawnOnce = false;
    uint32_t redraws = 0;  // loading-screen frames drawn from inside the loading
};

class LoaderScene : public Scene {
public:
    void activate() override;
    void afterFrame() override;
    void frame() override;
    void keyDown(int virtualKey) override;
    void leftDown() override;
};

LoaderState& loaderState();
void resetLoaderState();
void prepareLoader();
bool loadingSequence();
void reportLoaded(int64_t bytes);
void drawLoadingScreen();
float loadingFraction();
