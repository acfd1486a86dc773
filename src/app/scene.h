// Scenes: one screen of the program that receives the frame and the input. Exactly one is
// current; switches requested during a frame take effect at its end.
#pragma once

#include <cstdint>

class Scene {
public:
    virtual ~Scene() = default;

    // The key (or pseudo-key) stored by keyDown for the afterFrame step, which consumes it.
    int32_t lastKey = 0;
    // Every key of the frame, in order, for a scene that hands them on after the frame.
    static constexpr int kFrameKeyCapacity = 8;
    int32_t frameKeys[kFrameKeyCapacity] = {};
    int32_t frameKeyCount = 0;

    // The operations in their slot order. The base behaviour does nothing, except that
    // afterFrame runs the typed-letter step.
    virtual void activate() {}
    virtual void deactivate() {}
    virtual void afterFrame();
    virtual void deviceReset() {}
    virtual void frame() {}
    virtual void keyDown(int virtualKey) { (void)virtualKey; }
    virtual void leftDown() {}
    virtual void leftDoubleClick() {}
    virtual void leftUp() {}
    virtual void rightDown() {}
    virtual void rightUp() {}
    virtual void middleDown() {}
    virtual void mouseMove() {}
};

class GameScene : public Scene {
public:
    void afterFrame() override;
    void frame() override;
    void keyDown(int virtualKey) override;
    void leftDown() override;
    void leftDoubleClick() override;
    void leftUp() override;
    void rightDown() override;
    void rightUp() override;
    void middleDown() override;
    void mouseMove() override;
};

class MapScene : public Scene {
public:
    void afterFrame() override;
    void frame() override;
    void keyDown(int virtualKey) override;
    void leftDown() override;
    void leftDoubleClick() override;
    void leftUp() override;
    void mouseMove() override;
};

class TrophyRoomScene : public Scene {
public:
    void afterFrame() override;
    void frame() override;
    void keyDown(int virtualKey) override;
    void leftDown() override;
    void leftDoubleClick() override;
    void leftUp() override;
    void mouseMove() override;
};

class LoaderScene;

// The five scene objects, alive for the whole run.
Scene* nullScene();
LoaderScene* loaderScene();
GameScene* gameScene();
MapScene* mapScene();
TrophyRoomScene* trophyRoomScene();

struct SceneState {
    Scene* currentScene = nullptr;
    Scene* pendingScene = nullptr;
    bool pending = false;
    char typedRing[16] = {};  // newest letter first; index 15 always 0
    bool cheatKeys = false;
    bool openAllLevels = false;
};

SceneState& sceneState();
void resetSceneState();

Scene* currentScene();
void requestScene(Scene* scene);
// End of frame: deactivate the current scene, activate the pending one, make it current.
void applyPendingScene();
// Start-up and the end of loading make a scene current with no activate call.
void setCurrentScene(Scene* scene);
// The typed-letter step of the base afterFrame (consumes scene.lastKey).
void typedLetterStep(Scene& scene);
