// Board play on screen, run by the play runner over the forged data set: the loader is skipped,
// a player is made and a level of a mode is started through the modes' own operation; frames
// then run on the virtual clock (16 ms each) and are captured.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/application.h"
#include "app/frame_clock.h"
#include "app/loader.h"
#include "app/play_runner.h"
#include "app/scene.h"
#include "board/board.h"
#include "board/board_view.h"
#include "board/falling.h"
#include "board/play.h"
#include "forged_game.h"
#include "menus/menus.h"
#include "platform/image.h"
#include "platform/random.h"
#include "progress/game_modes.h"
#include "progress/profiles.h"
#include "render/device.h"
#include "test_support.h"

namespace board_screen {

// The frame just presented, as a picture.
inline platform::Picture presented() {
    platform::Picture p;
    p.width = platform::kPictureWidth;
    p.height = platform::kPictureHeight;
    p.rgba.resize(static_cast<size_t>(p.width) * p.height * 4);
    if (!readPresentedFrame(p.rgba.data())) p.rgba.clear();
    return p;
}

// The picture at half its size, each pixel the mean of four: what the golden pictures keep (the
// board's figures and texts still tell apart, at a quarter of the bytes).
inline platform::Picture halfSize(const platform::Picture& p) {
    platform::Picture h;
    if (p.empty()) return h;
    h.width = p.width / 2;
    h.height = p.height / 2;
    h.rgba.resize(static_cast<size_t>(h.width) * h.height * 4);
    for (int y = 0; y < h.height; ++y)
        for (int x = 0; x < h.width; ++x)
            for (int c = 0; c < 4; ++c) {
                int sum = 0;
                for (int dy = 0; dy < 2; ++dy)
                    for (int dx = 0; dx < 2; ++dx)
                        sum += p.rgba[((static_cast<size_t>(2 * y + dy) * p.width) + 2 * x + dx) * 4 + c];
                h.rgba[(static_cast<size_t>(y) * h.width + x) * 4 + c] = static_cast<uint8_t>((sum + 2) / 4);
            }
    return h;
}

struct Rgb {
    int r, g, b;
};

inline Rgb pixel(const platform::Picture& p, int x, int y) {
    const uint8_t* q = &p.rgba[(static_cast<size_t>(y) * p.width + x) * 4];
    return Rgb{q[0], q[1], q[2]};
}

// A logical point (origin centre, y up) as a pixel of the picture.
inline Rgb pixelAt(const platform::Picture& p, float x, float y) {
    return pixel(p, static_cast<int>(x + 400.0f), static_cast<int>(300.0f - y));
}

// Mean of the three channels over a rectangle of logical coordinates.
inline double meanOver(const platform::Picture& p, float left, float top, float right, float bottom) {
    double sum = 0;
    int n = 0;
    for (int y = static_cast<int>(300.0f - top); y < static_cast<int>(300.0f - bottom); ++y)
        for (int x = static_cast<int>(left + 400.0f); x < static_cast<int>(right + 400.0f); ++x) {
            Rgb c = pixel(p, x, y);
            sum += c.r + c.g + c.b;
            n += 3;
        }
    return n ? sum / n : 0.0;
}

// How many pixels of a rectangle differ between two pictures by more than a step.
inline int changedOver(const platform::Picture& a, const platform::Picture& b, float left, float top, float right,
                       float bottom, int step = 24) {
    int n = 0;
    for (int y = static_cast<int>(300.0f - top); y < static_cast<int>(300.0f - bottom); ++y)
        for (int x = static_cast<int>(left + 400.0f); x < static_cast<int>(right + 400.0f); ++x) {
            Rgb p = pixel(a, x, y), q = pixel(b, x, y);
            if (std::abs(p.r - q.r) > step || std::abs(p.g - q.g) > step || std::abs(p.b - q.b) > step) ++n;
        }
    return n;
}

// Where captures go to be looked at: $SANDMERE_CAPTURE_DIR, else nowhere.
inline void keep(const platform::Picture& p, const std::string& name) {
    const char* dir = std::getenv("SANDMERE_CAPTURE_DIR");
    if (!dir || !*dir || p.empty()) return;
    std::filesystem::create_directories(dir);
    platform::writePng((std::filesystem::path(dir) / (name + ".png")).string().c_str(), p.rgba.data(), p.width,
                       p.height);
}

// The game run to the end of its loading, with one player of three lives.
class BoardScreen : public ForgedGame {
protected:
    void SetUp() override {
        ForgedGame::SetUp();
        if (!started()) return;
        passTheLoader(32, false);
        runner_->frames(1);
        ASSERT_TRUE(createProfile("TESTER"));
        selectProfile(0);
    }

    // Starts a level (0-based) of a mode on a seed: the modes' own start, shown from the next frame.
    void startLevel(int level, int mode, uint32_t seed) {
        setGameMode(mode);
        setLives(3);
        board().carriedScore = 0;
        frameClock().runningMs = 0.0f;
        platform::srand(seed);
        beginModeLevel(level);
        runner_->frames(1);
        ASSERT_EQ(currentScene(), gameScene());
    }
    // Runs frames until the board rests and the break step has had its turn (or a modal tip
    // waits for its button).
    void settle(int maxFrames = 600) {
        for (int i = 0; i < maxFrames; ++i) {
            runner_->frames(1);
            const Board& b = board();
            if (b.tip.showing && b.tip.modal) return;
            if (isSettled() && b.inputLock < 0.0f && !b.refillRunning && !b.tip.showing) return;
            if (b.tip.showing) closeTip();
        }
    }
    void moveTo(float x, float y) {
        runner_->moveTo(x, y);
        runner_->frames(1);
    }
    void clickAt(float x, float y) {
        runner_->click(x, y);
        runner_->frames(1);
    }
    void clickCell(int row, int column) {
        Vec2 at = cellCentre(row, column);
        clickAt(at.x, at.y);
    }
    PlayRunner& runner() { return *runner_; }
};

}  // namespace board_screen
