// A saved game of any content: loading it either restores a board that one frame of board
// play can run on, or leaves the freshly started level; saving again writes 51656 bytes.
#include <cstring>

#include "app/scene.h"
#include "board/board.h"
#include "board/play.h"
#include "progress/game_modes.h"
#include "progress/saved_game.h"
#include "progress_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_support::prepare("ANNA_org.sav", data, size);
    resetGameModes();
    resetBoardState();
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
    boardFrame();
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
