// The frame loop: frame timing, activation, scene switching and the typed-letter codes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/frame_clock.h"
#include "app/play_runner.h"
#include "app/scene.h"
#include "platform/clock.h"
#include "progress/map.h"

namespace {

// Records the calls a scene receives, in order.
class RecordingScene : public Scene {
public:
    std::vector<std::string> calls;
    Scene* requestOnFrame = nullptr;
    void activate() override { calls.push_back("activate"); }
    void deactivate() override { calls.push_back("deactivate"); }
    void frame() override {
        calls.push_back("frame");
        if (requestOnFrame) requestScene(requestOnFrame);
    }
    void afterFrame() override {
        calls.push_back("afterFrame");
        Scene::afterFrame();
    }
    void keyDown(int k) override {
        calls.push_back("keyDown " + std::to_string(k));
        lastKey = k;
    }
    void leftDown() override { calls.push_back("leftDown"); }
    void leftDoubleClick() override { calls.push_back("leftDoubleClick"); }
    void leftUp() override { calls.push_back("leftUp"); }
    void rightDown() override { calls.push_back("rightDown"); }
    void rightUp() override { calls.push_back("rightUp"); }
    void middleDown() override { calls.push_back("middleDown"); }
};

class FrameLoop : public ::testing::Test {
protected:
    void SetUp() override {
        resetGameState();
        platform::setHeadless(true);
        platform::useVirtualClock(true, 5000);
        frameClock().lastTime = platform::nowMs();
    }
    void TearDown() override {
        platform::useVirtualClock(false);
        platform::setHeadless(false);
        resetGameState();
    }
    // One frame after ms of virtual time.
    void frameAfter(uint32_t ms) {
        platform::advanceVirtualClock(ms);
        runFrame();
    }
    void typeKeys(Scene& scene, const char* letters) {
        for (const char* p = letters; *p; ++p) {
            scene.lastKey = *p;
            typedLetterStep(scene);
        }
    }
};

TEST_F(FrameLoop, FpsTextRebuildsOnlyAfterMoreThan300Ms) {
    FrameClock& c = frameClock();
    frameAfter(100);
    frameAfter(100);
    frameAfter(100);  // exactly 300 ms: no rebuild
    EXPECT_STREQ(c.fpsText, "");
    EXPECT_EQ(c.fpsAccumulator, 300u);
    frameAfter(1);  // 301 ms over 4 frames
    EXPECT_STREQ(c.fpsText, "13.3 FPS");
    EXPECT_EQ(c.fpsAccumulator, 1u);  // the remainder carries over
    EXPECT_EQ(c.fpsFrames, 0);
    EXPECT_FLOAT_EQ(c.frameMs, 1.0f);
    EXPECT_EQ(c.deltaMs, 1u);
}

TEST_F(FrameLoop, TimeSpentInactiveNeverReachesTheGame) {
    RecordingScene scene;
    setCurrentScene(&scene);
    frameAfter(16);
    platform::Event e;
    e.type = platform::EventType::Deactivate;
    handleEvent(e);
    platform::advanceVirtualClock(60000);  // a minute away
    e.type = platform::EventType::Activate;
    handleEvent(e);
    EXPECT_EQ(frameClock().frameMs, 0.0f);
    frameAfter(20);
    EXPECT_EQ(frameClock().deltaMs, 20u);
    // A gain that follows a loss calls the scene.
    EXPECT_NE(std::find(scene.calls.begin(), scene.calls.end(), "activate"), scene.calls.end());
}

TEST_F(FrameLoop, FirstFocusGainCallsNoScene) {
    RecordingScene scene;
    setCurrentScene(&scene);
    platform::Event e;
    e.type = platform::EventType::Activate;
    handleEvent(e);
    EXPECT_TRUE(scene.calls.empty());
}

TEST_F(FrameLoop, WhileInactiveNoFrameRuns) {
    RecordingScene scene;
    setCurrentScene(&scene);
    platform::Event e;
    e.type = platform::EventType::Deactivate;
    handleEvent(e);
    frameTurn();
    frameTurn();
    EXPECT_TRUE(scene.calls.empty());
}

TEST_F(FrameLoop, SceneSwitchTakesEffectAtFrameEndAndLastRequestWins) {
    RecordingScene a, b, c;
    setCurrentScene(&a);
    requestScene(&b);
    requestScene(&c);  // replaces the first request
    EXPECT_EQ(currentScene(), &a);
    frameAfter(16);
    EXPECT_EQ(currentScene(), &c);
    EXPECT_TRUE(b.calls.empty());
    ASSERT_GE(a.calls.size(), 3u);
    EXPECT_EQ(a.calls[0], "frame");
    EXPECT_EQ(a.calls[1], "afterFrame");  // the scene that began the frame gets all of its calls
    EXPECT_EQ(a.calls[2], "deactivate");
    EXPECT_EQ(c.calls, std::vector<std::string>{"activate"});
}

TEST_F(FrameLoop, RequestDuringFrameKeepsCallsOnTheOldScene) {
    RecordingScene a, b;
    a.requestOnFrame = &b;
    setCurrentScene(&a);
    frameAfter(16);
    EXPECT_EQ(a.calls, (std::vector<std::string>{"frame", "afterFrame", "deactivate"}));
    EXPECT_EQ(currentScene(), &b);
}

TEST_F(FrameLoop, InputGoesToTheCurrentSceneOnly) {
    platform::Event e;
    e.type = platform::EventType::LeftDown;
    handleEvent(e);  // no scene yet: nothing happens
    RecordingScene scene;
    setCurrentScene(&scene);
    for (auto type : {platform::EventType::LeftDown, platform::EventType::LeftUp,
                      platform::EventType::LeftDoubleClick, platform::EventType::RightDown,
                      platform::EventType::RightUp, platform::EventType::MiddleDown}) {
        e.type = type;
        handleEvent(e);
    }
    e.type = platform::EventType::KeyDown;
    e.key = 39;
    handleEvent(e);
    EXPECT_EQ(scene.calls, (std::vector<std::string>{"leftDown", "leftUp", "leftDoubleClick", "rightDown",
                                                     "rightUp", "middleDown", "keyDown 39"}));
}

TEST_F(FrameLoop, CloseIsHandledOnce) {
    platform::Event e;
    e.type = platform::EventType::Close;
    handleEvent(e);
    EXPECT_TRUE(application().quitRequested);
    EXPECT_TRUE(application().closeHandled);
}

TEST_F(FrameLoop, DebugOverlayCodeTogglesInAnyScene) {
    Scene scene;
    setCurrentScene(&scene);
    typeKeys(scene, "WYZ");
    EXPECT_TRUE(application().debugOverlay);
    typeKeys(scene, "WYZ");
    EXPECT_FALSE(application().debugOverlay);
}

TEST_F(FrameLoop, TypedRingHoldsLettersNewestFirstAndIgnoresOthers) {
    Scene scene;
    setCurrentScene(&scene);
    typeKeys(scene, "ABC");
    EXPECT_STREQ(sceneState().typedRing, "CBA");
    for (int key : {int{'1'}, int{' '}, 112, 13, 255}) {
        scene.lastKey = key;
        typedLetterStep(scene);
    }
    EXPECT_STREQ(sceneState().typedRing, "CBA");  // digits, space, F1, Enter: no letter
    EXPECT_EQ(scene.lastKey, 0);
    typeKeys(scene, "DEFGHIJKLMNOPQRSTUVWXYZ");
    EXPECT_EQ(std::strlen(sceneState().typedRing), 15u);  // at most 15 letters
    EXPECT_EQ(sceneState().typedRing[0], 'Z');
}

TEST_F(FrameLoop, CheatCodeWorksOnlyInTheGameScene) {
    setCurrentScene(mapScene());
    typeKeys(*mapScene(), "GLIMBRAX");
    EXPECT_FALSE(sceneState().cheatKeys);
    setCurrentScene(gameScene());
    typeKeys(*gameScene(), "GLIMBRAX");
    EXPECT_TRUE(sceneState().cheatKeys);
    // Frames without a key leave it on: a code fires on the letter that completes it.
    for (int i = 0; i < 3; ++i) typedLetterStep(*gameScene());
    typeKeys(*gameScene(), "1 ");
    EXPECT_TRUE(sceneState().cheatKeys);
}

}  // namespace

namespace {

class MapCodes : public ::testing::Test {
protected:
    void SetUp() override {
        resetGameState();
        setCurrentScene(mapScene());
        setMapView(1);
    }
    void TearDown() override {
        setMapView(0);
        resetGameState();
    }
    void typeKeys(const char* letters) {
        for (const char* p = letters; *p; ++p) {
            mapScene()->lastKey = *p;
            typedLetterStep(*mapScene());
        }
    }
};

TEST_F(MapCodes, SixLetterCodeFiresAlone) {
    typeKeys("FEMOSK");  // "KSOMEF" typed in reverse order
    EXPECT_TRUE(sceneState().openAllLevels);
}

TEST_F(MapCodes, FourLetterCodeNeedsItsOwnLettersWithoutTheTwoInFront) {
    typeKeys("FEMOSK");
    ASSERT_TRUE(sceneState().openAllLevels);
    typeKeys("XMOSK");  // "KSOM" ends the ring, preceded by something else
    EXPECT_FALSE(sceneState().openAllLevels);
}

TEST_F(MapCodes, CodesNeedTheJourneyMap) {
    setMapView(0);
    typeKeys("FEMOSK");
    EXPECT_FALSE(sceneState().openAllLevels);
}

}  // namespace
