#include "progress/saved_game.h"

#include <cstring>
#include <memory>

#include "app/frame_clock.h"
#include "app/scene.h"
#include "app/strings.h"
#include "board/board.h"
#include "board/bonuses.h"
#include "board/falling.h"
#include "board/level.h"
#include "menus/menus.h"
#include "progress/game_modes.h"
#include "progress/profiles.h"
#include "progress/settings_folder.h"

namespace {

// The tips board play shows; a saved tip is stored by the string-table position of its key.
const char* const kTipKeys[] = {"welcome",         "breaksquares",    "breakdualsquares", "breakzep",
                                "usehammer",       "b_t_firstbonus1", "b_t_firstbonus2",  "b_t_firstbonus5",
                                "candletime",      "candlemove",      "nomoves"};

struct SavedGameState {
    SavedPresentationHook capture = nullptr;
    SavedPresentationApply apply = nullptr;
    SavedGame scratch{};
};

SavedGameState gSaved;

int32_t tipReference(const char* key) {
    if (!key || !key[0] || lookupText(key)[0] == '\0') return -1;
    return indexOfName(key);
}

const char* tipKeyAt(int32_t position) {
    if (position < 0) return nullptr;
    for (const char* key : kTipKeys)
        if (lookupText(key)[0] != '\0' && indexOfName(key) == position) return key;
    return nullptr;
}

SavedCell savedCell(const Cell& c) {
    return SavedCell{c.squares,    c.chained,    c.offset.x,   c.offset.y,   c.figure,     c.animFrame,  c.bonus,
                     c.pendingBonus, c.refillMark, c.fallSpeed,  c.bonusTimer, c.slideFlag,  c.hovered,    c.alive,
                     c.spinTimer,  c.spinClock,  c.breakMark,  c.hitMark,    c.groupStep,  c.groupId,    c.floatPos.x,
                     c.floatPos.y, c.floatVel.x, c.floatVel.y, c.cellScore,  c.delayTimer};
}

void restoreCell(Cell& c, const SavedCell& s) {
    c.squares = s.squares;
    c.chained = s.chained;
    c.offset = Vec2{s.offsetX, s.offsetY};
    c.figure = s.figure;
    c.animFrame = s.animFrame;
    c.bonus = s.bonus;
    c.pendingBonus = s.pendingBonus;
    c.refillMark = s.refillMark;
    c.fallSpeed = s.fallSpeed;
    c.bonusTimer = s.bonusTimer;
    c.slideFlag = s.slideFlag;
    c.hovered = s.hovered;
    c.alive = s.alive;
    c.spinTimer = s.spinTimer;
    c.spinClock = s.spinClock;
    c.breakMark = s.breakMark;
    c.hitMark = s.hitMark;
    c.groupStep = s.groupStep;
    c.groupId = s.groupId;
    c.floatPos = Vec2{s.floatPosX, s.floatPosY};
    c.floatVel = Vec2{s.floatVelX, s.floatVelY};
    c.cellScore = s.cellScore;
    c.delayTimer = s.delayTimer;
}

}  // namespace

void setSavedGamePresentation(SavedPresentationHook capture, SavedPresentationApply apply) {
    gSaved.capture = capture;
    gSaved.apply = apply;
}

void captureSavedGame(SavedGame& g) {
    const Board& b = board();
    std::memset(&g, 0, sizeof g);
    for (int i = 0; i < kSavedExplosions; ++i) {
        const Explosion& e = b.explosions[i];
        g.explosions[i] = SavedExplosion{e.kind, e.row, e.column, e.x, e.y, e.elapsed, e.startAt, e.duration, e.started};
    }
    for (int r = 0; r < kSavedRows; ++r)
        for (int c = 0; c < kSavedColumns; ++c) g.cells[r][c] = savedCell(b.cells[r][c]);
    // Without a presentation the board is fully shown and stands still.
    g.boardAlpha = 255.0f;
    g.debrisAlpha = 255.0f;
    g.boardColour = 0xFFFFFFFFu;
    g.debrisColour = 0xFFFFFFFFu;
    for (int i = 0; i < 16; ++i) g.shake.matrix[i] = (i % 5 == 0) ? 1.0f : 0.0f;
    g.nextExplosion = b.nextExplosion;
    g.shake.shakeOn = b.shakeOn;
    g.shake.shakeClock = b.shakeClock;
    g.tip.showing = b.tip.showing;
    g.tip.modal = b.tip.modal;
    g.tip.style = static_cast<uint8_t>(b.tip.style);
    g.tip.x = b.tip.x;
    g.tip.y = b.tip.y;
    g.tip.delay = b.tip.delay;
    g.tip.textRef = b.tip.showing ? tipReference(b.tip.key) : -1;
    if (g.tip.textRef < 0) g.tip.showing = 0;
    g.shownScore = b.shownScore;
    g.levelScore = b.levelScore;
    g.cursorKind = 0;
    g.carriedScore = b.carriedScore;
    g.comboCount = b.comboCount;
    g.nextBoltSet = b.nextBoltSet;
    g.targetsLeft = b.targetCount;
    g.targetsAtStart = b.initialTargetCount;
    g.bestStreak = b.bestStreak;
    g.colourStreak = b.colourStreak;
    g.runDisplay = 0;
    g.lightningRun = b.lightningRun;
    g.previousKind = b.previousKind;
    g.movesUsed = b.movesUsed;
    g.hoverRow = -1;
    g.hoverColumn = -1;
    g.paused = b.paused;
    g.menuOpen = menuOpen() ? 1 : 0;
    g.levelComplete = b.levelComplete;
    g.bonusShowing = b.bonusShowing;
    g.tipShown = 0;
    g.lostOnce = lostOnce() ? 1 : 0;
    g.gameMode = b.mode;
    g.runningMs = frameClock().runningMs;
    g.inputLock = b.inputLock;
    g.elapsedMs = b.elapsedMs;
    g.timeLimitMs = b.timeLimitMs;
    g.hudSlide = b.hudSlide;
    g.pauseClock = b.pauseClock;
    g.levelEndClock = b.levelEndClock;
    g.progress = progressFraction(b.targetCount, b.initialTargetCount);
    g.hammerShown = b.hammerShown;
    g.hammerTarget = b.hammerTarget;
    if (gSaved.capture) gSaved.capture(g);
}

void applySavedGame(const SavedGame& g) {
    Board& b = board();
    for (int i = 0; i < kSavedExplosions; ++i) {
        const SavedExplosion& s = g.explosions[i];
        b.explosions[i] = Explosion{s.kind, s.row, s.column, s.x, s.y, s.elapsed, s.startAt, s.duration, s.started};
    }
    for (int r = 0; r < kSavedRows; ++r)
        for (int c = 0; c < kSavedColumns; ++c) restoreCell(b.cells[r][c], g.cells[r][c]);
    b.nextExplosion = g.nextExplosion;
    b.shakeOn = static_cast<uint8_t>(g.shake.shakeOn != 0);
    b.shakeClock = g.shake.shakeClock;
    const char* key = g.tip.showing ? tipKeyAt(g.tip.textRef) : nullptr;
    b.tip.showing = key ? 1 : 0;
    b.tip.modal = g.tip.modal;
    b.tip.style = g.tip.style;
    b.tip.x = g.tip.x;
    b.tip.y = g.tip.y;
    b.tip.delay = g.tip.delay;
    std::memset(b.tip.key, 0, sizeof b.tip.key);
    if (key) std::strncpy(b.tip.key, key, sizeof b.tip.key - 1);
    b.shownScore = g.shownScore;
    b.levelScore = g.levelScore;
    b.carriedScore = g.carriedScore;
    b.comboCount = g.comboCount;
    b.nextBoltSet = g.nextBoltSet;
    b.targetCount = g.targetsLeft;
    b.initialTargetCount = g.targetsAtStart;
    b.bestStreak = g.bestStreak;
    b.colourStreak = g.colourStreak;
    b.lightningRun = g.lightningRun;
    b.previousKind = g.previousKind;
    b.movesUsed = g.movesUsed;
    b.paused = g.paused;
    b.levelComplete = g.levelComplete;
    b.bonusShowing = g.bonusShowing;
    frameClock().runningMs = g.runningMs;
    b.inputLock = g.inputLock;
    b.elapsedMs = g.elapsedMs;
    // The loss waits for the level clock; it resumes where the time used stood.
    b.levelClock = g.elapsedMs;
    b.timeLimitMs = g.timeLimitMs;
    b.hudSlide = g.hudSlide;
    b.pauseClock = g.pauseClock;
    b.levelEndClock = g.levelEndClock;
    b.hammerShown = g.hammerShown;
    b.hammerTarget = g.hammerTarget;
    // A chain's count is paid on the first frame the board rests with play free: a board that
    // rests, with no explosion left, no lock, tip or pause, holds no chain still to be paid.
    if (!explosionsActive() && b.inputLock < 0.0f && !b.tip.showing && !b.paused && isSettled()) b.comboCount = 0;
    if (gSaved.apply) gSaved.apply(g);
}

bool saveGame() {
    Board& b = board();
    // Closing during the level end: the bonus already in the level score stays with the game.
    if (b.levelComplete && !b.betweenLevels && !b.gameFinished && profileCount() > 0)
        setModeScoreOf(b.mode, b.carriedScore + b.levelScore);
    if (!b.levelTouched || b.levelLost || b.levelComplete || gameCompletedShowing()) return false;
    // Only a level that board play is really running: not a board left behind in the menus.
    Scene* scene = currentScene();
    bool running = scene == gameScene() || (scene == trophyRoomScene() && trophyRoomEnteredFromLevel());
    if (!running || b.gameFinished || b.betweenLevels) return false;
    if (profileCount() <= 0 || b.mode != gameMode()) return false;
    char name[64];
    if (!savedGameFileName(currentProfile().name, b.mode, name, sizeof name)) return false;
    captureSavedGame(gSaved.scratch);
    std::vector<uint8_t> bytes;
    encodeSavedGame(gSaved.scratch, bytes);
    if (!writeSettingsFile(name, bytes)) return false;
    // Only a complete file is offered, and only then does the mode keep the score.
    setSavedGameFlag(b.mode, true);
    setModeScoreOf(b.mode, b.carriedScore + b.shownScore);
    return true;
}

bool savedCarriedScore(int mode, int32_t& out) {
    if (profileCount() <= 0 || !savedGameFlag(mode)) return false;
    char name[64];
    if (!savedGameFileName(currentProfile().name, mode, name, sizeof name)) return false;
    std::vector<uint8_t> bytes;
    FileRead read = readSettingsFile(name, bytes, kSavedGameBytes);
    if (!read.present || !read.whole ||
        !decodeSavedGame(bytes.data(), bytes.size(), mode, stringCount(), gSaved.scratch))
        return false;
    out = gSaved.scratch.carriedScore;
    return true;
}

bool loadGame() {
    Board& b = board();
    int mode = gameMode();
    b.carriedScore = modeScore();
    beginModeLevel(currentLevelNumber());
    b.levelTouched = 1;
    bool restored = false;
    char name[64];
    if (profileCount() > 0 && savedGameFileName(currentProfile().name, mode, name, sizeof name)) {
        std::vector<uint8_t> bytes;
        FileRead read = readSettingsFile(name, bytes, kSavedGameBytes);
        if (read.present && read.whole &&
            decodeSavedGame(bytes.data(), bytes.size(), mode, stringCount(), gSaved.scratch)) {
            applySavedGame(gSaved.scratch);
            setLostOnce(gSaved.scratch.lostOnce != 0);
            restored = true;
        }
    }
    closeMenusOverBoard();
    requestScene(gameScene());
    return restored;
}
