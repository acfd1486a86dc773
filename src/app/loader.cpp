#include "app/loader.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/application.h"
#include "app/replay.h"
#include "app/resource_store.h"
#include "app/strings.h"
#include "audio/audio.h"
#include "board/level.h"
#include "board/presentation.h"
#include "menus/flows.h"
#include "menus/menus.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/random.h"
#include "platform/window.h"
#include "progress/map.h"
#include "progress/profiles.h"
#include "progress/records.h"
#include "progress/trophies.h"
#include "render/backdrops.h"
#include "render/device.h"
#include "render/effects.h"
#include "render/sprites.h"
#include "render/text.h"
#include "render/textures.h"

namespace {
LoaderState gLoader;

// The 800 x 600 pictures lie in 1024 x 1024 textures.
constexpr float kPictureU = 0.78125f;
constexpr float kPictureV = 0.5859375f;

uint32_t tintColour() {
    auto channel = [](float f) { return static_cast<uint32_t>(std::clamp(f, 0.0f, 1.0f) * 255.0f); };
    return (channel(gLoader.tint[3]) << 24) | (channel(gLoader.tint[0]) << 16) | (channel(gLoader.tint[1]) << 8) |
           channel(gLoader.tint[2]);
}

uint32_t greyColour(int g) {
    uint32_t v = static_cast<uint32_t>(std::clamp(g, 0, 255));
    return 0xFF000000u | (v << 16) | (v << 8) | v;
}

void releaseSplash(TextureEntry*& splash) {
    if (splash) releaseTexture(splash);
    splash = nullptr;
}

void releaseLoaderPictures() {
    for (TextureEntry** t : {&gLoader.splash1, &gLoader.splash2, &gLoader.loadScreen, &gLoader.loadBar}) {
        if (*t) releaseTexture(*t);
        *t = nullptr;
    }
}
}  // namespace

LoaderState& loaderState() { return gLoader; }

void resetLoaderState() { gLoader = LoaderState{}; }

void prepareLoader() {
    gLoader.tint[0] = gLoader.tint[1] = gLoader.tint[2] = gLoader.tint[3] = 1.0f;
    setCulling(false);
    gLoader.splash1 = loadPictureIntoPow2("splash1.jpg", 800, 600);
    if (platform::isRegularFile("splash2.jpg")) {
        gLoader.hasSecondSplash = true;
        gLoader.splash2 = loadPictureIntoPow2("splash2.jpg", 800, 600);
    }
    gLoader.loadScreen = loadPictureIntoPow2("loadscreen.jpg", 800, 600);
    gLoader.loadBar = loadPictureIntoPow2("loadbar.tga", 472, 72);
}

float loadingFraction() {
    if (gLoader.musicStarted) return 1.0f;
    float f = static_cast<float>(static_cast<double>(gLoader.bytesLoaded) / static_cast<double>(kDataSetBytes));
    return std::clamp(f, 0.0f, 1.0f);
}

void drawLoadingScreen() {
    uint32_t colour = tintColour();
    bindTexture(gLoader.loadScreen);
    drawScreenRect(0, 0, 800, 600, 0, 0, kPictureU, kPictureV, colour);
    float f = loadingFraction();
    bindTexture(gLoader.loadBar);
    UVRect uv{0.001f, 0.001f, f * 472.0f / 512.0f + 0.001f, 72.0f / 128.0f + 0.001f};
    drawQuadRect(-224.0f, -229.0f, -224.0f + f * 472.0f, -229.0f - 72.0f, uv, colour, 10.0f);
}

void reportLoaded(int64_t bytes) {
    if (application().loadRequested) {
        // Every item is counted, but the screen is redrawn at most once every 16 ms.
        uint32_t now = platform::nowMs();
        if (!gLoader.redrawnOnce || now - gLoader.lastRedrawMs >= 16) {
            gLoader.redrawnOnce = true;
            gLoader.lastRedrawMs = now;
            gLoader.redraws += 1;
            platform::pumpEvents();
            beginScene();
            begin2D();
            drawLoadingScreen();
            endScene();
            presentFrame();
        }
    }
    gLoader.itemsLoaded += 1;
    if (bytes > 0) gLoader.bytesLoaded += static_cast<uint64_t>(bytes);
}

bool loadingSequence() {
    ApplicationState& app = application();
    platform::srand(sessionSeed(platform::nowMs()));
    // The cues, the longest part, are decoded on helper threads while the pictures load; the
    // bar still counts them where loadSounds takes them in.
    prefetchSounds(app.dataFolder);
    openPack("targa.dat");
    openPack("jpeg.dat");
    openPack("texts.dat");
    loadStrings("strings2.txt");
    loadStrings("tips2.txt");
    // The player data lives in the settings folder, which loadProfiles finds or creates.
    loadProfiles();
    loadRecordTables();
    app.dataLoaded = true;
    platform::changeDir(app.dataFolder.c_str());
    loadEffects();
    loadGameObjects();
    loadArtefactPictures();
    installMenuFlows();
    loadMenus();
    loadMenuPictures();
    initAudio();
    loadSounds();
    loadBoardPictures();
    loadTrophies();
    scanLevelFiles();
    platform::changeDir(app.dataFolder.c_str());
    loadMapSpline();
    loadMapAssets();
    platform::changeDir(app.dataFolder.c_str());
    setCurrentScene(loaderScene());
    return true;
}

void LoaderScene::activate() { gLoader.fadeTimer = 1.0f; }

void LoaderScene::keyDown(int virtualKey) { lastKey = virtualKey; }

void LoaderScene::leftDown() { lastKey = 13; }

void LoaderScene::afterFrame() {
    if (lastKey != 0) {
        if (gLoader.splashTimer < 3500.0f) gLoader.splashTimer = 3500.0f;
        else if (gLoader.fadeTimer == 0.0f) gLoader.fadeTimer = 1.0f;
    }
    lastKey = 0;
}

void LoaderScene::frame() {
    ApplicationState& app = application();
    float frameMs = frameClock().frameMs;
    if (gLoader.splashTimer < 4000.0f) {
        clearTarget(0xFF000000u);
        begin2D();
        switchOff(7);
        bindTexture(gLoader.secondSplash ? gLoader.splash2 : gLoader.splash1);
        float a = gLoader.splashTimer > 3000.0f ? (4000.0f - gLoader.splashTimer) / 1000.0f : 1.0f;
        drawScreenRect(0, 0, 799, 599, 0, 0, kPictureU, kPictureV, greyColour(static_cast<int>(a * 255.0f)));
        switchOn(7);
        gLoader.splashTimer += frameMs;
        if (gLoader.splashTimer >= 4000.0f) {
            // A splash that has faded out is never shown again: its picture (a 1024 x 1024
            // texture) is given back at once rather than with the loading screen's.
            if (gLoader.hasSecondSplash && !gLoader.secondSplash) {
                gLoader.secondSplash = true;
                gLoader.splashTimer = 0.0f;
                releaseSplash(gLoader.splash1);
            } else {
                app.loadRequested = true;
                releaseSplash(gLoader.splash1);
                releaseSplash(gLoader.splash2);
            }
        }
        return;
    }
    // The wait stage.
    if (!gLoader.musicStarted) {
        switchMusicSection(0);
        gLoader.musicStarted = true;
    }
    gLoader.waitTimer += frameMs;
    if (gLoader.fadeTimer > 0.0f) {
        gLoader.fadeTimer += frameMs;
        if (gLoader.fadeTimer > 800.0f) {
            gLoader.fadeTimer = 800.0f;
            requestScene(mapScene());
            applyCursorSetting();  // the menus draw the custom cursor from here on
            releaseLoaderPictures();
            fadeToMusicSection(0);
            openMenuByName(profileCount() > 0 ? "main" : "newprofile");
            return;
        }
    }
    int g = 255 - static_cast<int>(gLoader.fadeTimer / 800.0f * 255.0f);
    float grey = static_cast<float>(static_cast<uint8_t>(g)) / 255.0f;
    gLoader.tint[0] = gLoader.tint[1] = gLoader.tint[2] = grey;
    gLoader.tint[3] = 1.0f;
    begin2D();
    clearTarget(0);
    drawLoadingScreen();
    selectFont(0);
    float size = 13.0f + 0.05f * std::sin(gLoader.waitTimer * 0.01f);
    const char* prompt = lookupText("keytoresume");
    setTextColour(0, 0, 0, 192);
    drawText(2.0f, -262.0f, size, prompt, true);
    setTextColour(255, 255, 255, 255);
    drawText(0.0f, -260.0f, size, prompt, true);
    setTextColour(255, 255, 255, 255);
    selectFont(0);
}
