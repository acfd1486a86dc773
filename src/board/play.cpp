#include "board/play.h"

#include "app/frame_clock.h"
#include "app/scene.h"
#include "audio/audio.h"
#include "board/board.h"
#include "board/bonuses.h"
#include "board/falling.h"
#include "board/moves.h"
#include "board/presentation.h"
#include "board/scoring.h"
#include "menus/flows.h"
#include "menus/menus.h"
#include "progress/map.h"
#include "platform/random.h"
#include "platform/window.h"

namespace {

BoardProcess gProcess;

}  // namespace

BoardProcess& boardProcess() { return gProcess; }
void resetBoardProcess() { gProcess = BoardProcess{}; }

void setBoardCursor(bool hammer) {
    const uint8_t want = hammer ? 1 : 0;
    if (gProcess.hammerCursor == want) return;
    gProcess.hammerCursor = want;
    setSystemCursor(hammer ? 1 : 0);
}

void pauseGame() {
    Board& b = board();
    b.paused = 1;
    b.pauseClock = 0.0f;
    closeTip();
}

void resumeGame() { board().paused = 0; }

// The level has ended and the player goes on: the mode's menu over the journey map.
void leaveForMap() { returnToModeMenu(); }

void boardFrame() {
    Board& b = board();
    const FrameClock& clock = frameClock();

    readBoardCursor();
    ambienceStep(gProcess.ambience, waterForAmbience(b.ambienceNumber), clock.deltaMs);

    if (b.gameFinished) return;
    if (b.betweenLevels) {
        b.betweenClock += clock.frameMs;
        updateAudio();
        return;
    }

    animateBoardBackdrop(b.paused || b.levelComplete ? 2 : (b.levelIndex & 1));
    boardStep();
    hammerFrame();
    updateHover();
    // No hint while the cursor highlights a group that can go (or a tile under the hammer).
    if (b.hoverActive && (b.groupSize >= 2 || b.hammerArmed)) b.idleClock = 0.0f;
    scoreFrame();
    limitFrame();
    lostFrame();
    debrisFrame();
    shakeFrame();
    levelEndFrame();
    comboFrame();
    hudFadeFrame();
    updateAudio();
    if (b.paused) b.pauseClock += clock.frameMs;
    tipFrame();
    trophyFrame();
    playClockFrame();
    firstTimeTips();
}

void boardLeftUp() {}
void boardRightUp() {}
void boardMiddleDown() {}
