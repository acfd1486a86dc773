// A saved game of any content: loading it either restores a board that board play can go on
// with (clicks and frames on the virtual clock, under the sanitizers), or leaves the freshly
// started level; saving again writes 51656 bytes.
#include <cstring>

#include "app/frame_clock.h"
#include "app/scene.h"
#include "board/board.h"
#include "board/falling.h"
#include "board/play.h"
#include "platform/random.h"
#include "platform/window.h"
#include "progress/game_modes.h"
#include "progress/saved_game.h"
#include "progress_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_support::prepare("ANNA_org.sav", data, size);
    resetGameModes();
    resetBoardState();
    resetFrameClock();
    loadSettings();
    loadProfiles();
    Profile& p = profileTable().slots[0];
    std::memset(&p, 0, sizeof p);
    std::snprintf(p.name, sizeof p.name, "ANNA");
    settings().profileCount = 1;
    settings().currentProfile = 0;
    setGameMode(2);
    setPosition(size > 0 ? data[0] % 129 : 0);
    setSavedGameFlag(2, true);
    loadGame();
    applyPendingScene();
    fuzz_support::check(!savedGameFlag(2), "the load clears the flag");
    fuzz_support::check(board().mode == 2, "the mode stays");
    // Play goes on from the loaded board: clicks on cells the file's first bytes choose, each
    // followed by frames enough for the breaks, explosions and falls to run their course.
    platform::srand(1);
    for (int click = 0; click < 4; ++click) {
        size_t at = 1 + 2 * static_cast<size_t>(click);
        int row = at + 1 < size ? data[at] % kRows : click;
        int column = at + 1 < size ? data[at + 1] % kColumns : click;
        Vec2 p = cellCentre(row, column);
        platform::warpCursor(400.0f + p.x, 300.0f - p.y);
        boardLeftDown();
        for (int f = 0; f < 25; ++f) {
            FrameClock& clock = frameClock();
            clock.deltaMs = 40;
            clock.frameMs = 40.0f;
            clock.runningMs += clock.frameMs;
            boardFrame();
            refillFrame();
        }
    }
    const Board& played = board();
    fuzz_support::check(played.levelScore >= 0 && played.shownScore >= 0 && played.carriedScore >= 0, "scores");
    fuzz_support::check(played.colourStreak >= 0 && played.comboCount >= 0 && played.movesUsed >= 0, "counters");
    board().levelTouched = 1;
    board().levelLost = 0;
    board().levelComplete = 0;
    board().gameFinished = 0;
    board().betweenLevels = 0;
    setCurrentScene(gameScene());
    if (saveGame()) {
        std::vector<uint8_t> back;
        FileRead read = readSettingsFile("ANNA_org.sav", back, kSavedGameBytes + 1);
        fuzz_support::check(read.present && read.size == kSavedGameBytes, "saved game size");
    }
    setCurrentScene(nullptr);
    return 0;
}
