#include "board/scoring.h"

#include <cstdint>

#include "app/frame_clock.h"
#include "audio/audio.h"
#include "board/board.h"
#include "board/falling.h"
#include "board/level.h"
#include "board/outcome.h"
#include "board/play.h"
#include "board/presentation.h"
#include "menus/menus.h"
#include "platform/random.h"
#include "render/effects.h"
#include "render/sprites.h"

namespace {

constexpr int64_t kLifeStep = 250000;

// Nothing stops play: no menu, pause, tip, map fade, completion or loss.
bool playBlocked() {
    const Board& b = board();
    return menuOpen() || b.paused || b.tip.showing || b.mapFade || b.levelComplete || b.levelLost;
}

bool crossed(float before, float after, float mark) { return before < mark && after >= mark; }

}  // namespace

void scoreFrame() {
    Board& b = board();
    const float frameMs = frameClock().frameMs;
    const int64_t before = static_cast<int64_t>(b.carriedScore) + b.shownScore;
    const float step = static_cast<float>(b.levelScore - b.shownScore) * frameMs * 0.01f;
    if (step > 1.0f) {
        startEffect("score", -340.0f, 235.0f);
        b.shownScore += static_cast<int32_t>(step);
    } else {
        b.shownScore = b.levelScore;
    }
    if (b.mode == kTimeless) return;
    const int64_t after = static_cast<int64_t>(b.carriedScore) + b.shownScore;
    // The next multiple at or above the old total: a total that is itself a multiple
    // grants nothing on this frame, and one frame grants one life at most.
    int64_t mark = before <= 0 ? 0 : ((before + kLifeStep - 1) / kLifeStep) * kLifeStep;
    b.nextLifeMark = static_cast<int32_t>(mark);
    if (before < mark && after >= mark) {
        outcomeHooks().addLife();
        showLetterText("getlife", 90.0f, 100.0f, 30.0f);
        playSound("GetLife.ogg");
        flashLives();
    }
}

void limitFrame() {
    Board& b = board();
    if (menuOpen() || b.tip.showing || b.paused || b.levelLost || b.levelEndClock > 5000.0f) return;
    const float frameMs = frameClock().frameMs;
    if (b.mode == kAdventure) {
        b.withinLimit = b.timeLimitMs >= b.elapsedMs ? 1 : 0;
        if (b.mapFade) return;
        // A won level keeps its time: the clock stops with the completion, so the time bonus
        // already paid and the time in the records stay true, and the level cannot be lost
        // during its own celebration.
        if (b.levelComplete) return;
        const float before = b.levelClock;
        b.levelClock += frameMs;
        if (b.withinLimit) {
            b.elapsedMs += frameMs;
            if (b.timeLimitMs - b.elapsedMs < 20000.0f) {
                b.warnClock += frameMs;
                float f = (b.timeLimitMs - b.elapsedMs) / 20000.0f;
                if (f < 0.0f) f = 0.0f;
                if (b.warnClock > f * 300.0f + 300.0f) {
                    playSound("TimeOut.ogg");
                    b.warnClock = 0.0f;
                }
            }
        } else {
            (void)before;
            if (b.levelClock > b.timeLimitMs && b.levelClock - b.timeLimitMs <= 100.0f + frameMs)
                playSound("DefeatLevel.ogg");
            if (b.levelClock > b.timeLimitMs) {
                b.levelLost = 1;
                closeTip();
            }
        }
    } else if (b.mode == kPuzzle) {
        b.withinLimit = b.movesUsed < b.movesLimit ? 1 : 0;
        b.levelClock += frameMs;
        if (b.withinLimit) {
            const float difference = static_cast<float>(b.movesUsed) - b.shownMoves;
            if (difference > 0.001f || difference < -0.001f) b.shownMoves += difference * frameMs * 0.005f;
            else b.shownMoves = static_cast<float>(b.movesUsed);
            if (static_cast<float>(b.movesLimit - 5) < b.shownMoves) {
                // The last moves run a warning clock; the darkening tint and the swelling
                // moves text carry the warning, so it stays silent.
                b.warnClock += frameMs;
                if (b.warnClock > 600.0f) b.warnClock = 0.0f;
            }
        } else if (!b.levelComplete) {
            b.levelLost = 1;
            closeTip();
        }
    }
}

void lostFrame() {
    Board& b = board();
    if (menuOpen() || b.levelComplete || b.tip.showing || b.paused || b.mapFade) return;
    if (!b.levelLost) {
        b.lostClock = 0.0f;
        return;
    }
    const float before = b.lostClock;
    if (before == 0.0f) switchMusicSection(6);
    b.lostClock += frameClock().frameMs;
    if (crossed(before, b.lostClock, 2000.0f)) {
        const int lives = outcomeHooks().lives();
        const char* key = lives <= 0 ? "gameover" : lives == 1 ? "lastlife" : "loselife";
        showFloatingText(key, 0.0f, 0.0f, 20.0f, 4000.0f);
    }
    if (b.lostClock >= 8000.0f) lostLife();
}

void boardGameOver() {
    Board& b = board();
    BoardOutcomeHooks& h = outcomeHooks();
    playSound("DefeatLevel.ogg");
    b.levelLost = 1;
    const int total = b.carriedScore + b.shownScore;
    h.setModeScore(total);
    h.insertHighScore(b.mode, total);
    h.openMenu("hiscore");
    h.setModeScore(0);
    h.setLives(3);
    h.setPosition(b.levelIndex);
    b.levelTouched = 0;
    h.saveProgress();
}

void lostLife() {
    Board& b = board();
    if (b.lostClock < 4000.0f) return;
    BoardOutcomeHooks& h = outcomeHooks();
    // The menu that opens holds the board; until one opens, the next frame asks again.
    if (h.lives() <= 0) {
        boardGameOver();
    } else if (h.lostOnce() && b.levelIndex != kLevelCount - 1) {
        h.openMenu("defeat");
    } else {
        h.showMessage(b.mode == kPuzzle ? "lostlifemoves" : "lostlifetime");
    }
}

void checkComplete() {
    Board& b = board();
    if (b.levelComplete) return;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c)
            if (b.cells[r][c].squares > 0) return;

    // The move that breaks the last square wins, even the move that used up the moves or one
    // whose explosions were still running when the time ran out: the loss it followed is
    // forgotten (its clock, and the figures its sweep had taken off), and the level end's
    // music replaces the defeat's.
    if (b.levelLost) {
        b.levelLost = 0;
        b.lostClock = 0.0f;
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kColumns; ++c)
                if (isCell(r, c)) b.cells[r][c].alive = 1;
    }
    setTint(1.0f, 1.0f, 1.0f, 1.0f);
    if (b.mode == kAdventure) {
        const float left = (b.timeLimitMs - b.elapsedMs) / 1000.0f;
        b.bonusPoints = left > 0.0f ? static_cast<int32_t>(left) * 50 : 0;
    } else if (b.mode == kPuzzle) {
        b.bonusPoints = b.movesLimit > b.movesUsed ? (b.movesLimit - b.movesUsed) * 100 : 0;
    } else {
        b.bonusPoints = 0;
    }
    b.levelScore += b.bonusPoints;
    b.bonusShowing = 1;

    BoardOutcomeHooks& h = outcomeHooks();
    h.advanceLevel();
    h.setModeScore(b.carriedScore + b.shownScore);
    h.saveProgress();
    b.levelComplete = 1;
    if (b.mode == kPuzzle) b.shownMoves = static_cast<float>(b.movesLimit);

    b.endStyle = platform::rand() % 2;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            if (!isCell(r, c)) continue;
            Cell& cell = b.cells[r][c];
            cell.delayTimer = 150.0f + static_cast<float>(platform::rand() % 151);
            if (b.endStyle == 0)
                cell.floatVel = Vec2{static_cast<float>(platform::rand() % 5),
                                     3.0f + static_cast<float>(platform::rand() % 26) / 10.0f};
        }
}

void levelEndFrame() {
    Board& b = board();
    if (!b.levelComplete) return;
    const float frameMs = frameClock().frameMs;
    const float before = b.levelEndClock;
    if (before == 0.0f) switchMusicSection(5);
    b.levelEndClock += frameMs;
    const float now = b.levelEndClock;

    if (crossed(before, now, 500.0f) && !b.resultShown && b.bonusPoints > 0) {
        showLetterText("levelcomplete", 0.0f, 0.0f, 30.0f);
        showFloatingText(b.mode == kAdventure ? "bonustime" : "bonusmoves", 0.0f, -120.0f, 24.0f, 5000.0f);
        startEffect("starefIQ", 0.0f, -160.0f);
    }
    if (crossed(before, now, 3500.0f)) b.bonusShowing = 0;
    if (now >= 2000.0f && now <= 5000.0f) {
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kColumns; ++c) {
                if (!isCell(r, c)) continue;
                Cell& cell = b.cells[r][c];
                if (cell.delayTimer > 300.0f) {
                    const Vec2 at = cellCentre(r, c);
                    const float size = 2.0f + static_cast<float>(platform::rand() % 101) / 100.0f;
                    startEffect("levelover0", at.x + cell.floatPos.x, at.y + cell.floatPos.y, -1000000.0f,
                                -1000000.0f, size);
                    cell.delayTimer = 0.0f;
                }
                cell.delayTimer += frameMs;
            }
    }
    if (crossed(before, now, 7000.0f) && !b.resultShown) advanceAfterComplete();
}

void advanceAfterComplete() {
    Board& b = board();
    BoardOutcomeHooks& h = outcomeHooks();
    if (!b.resultShown) {
        h.openMenu("levelcomplete");
        const float playMs = b.mode == kAdventure ? b.elapsedMs : b.playClock;
        h.updateLevelRecord(b.mode, b.levelIndex, b.shownScore, b.bestStreak, b.movesUsed, playMs);
        b.resultShown = 1;
        return;
    }
    if (b.advanced) return;
    b.advanced = 1;
    b.levelIndex += 1;
    const int previous = b.levelIndex - 1;
    chooseBoardBackdrop(2, previous >= 0 && previous < kLevelCount ? levelBackdrop()[previous] : 0);
    b.carriedScore += b.shownScore;
    h.setModeScore(b.carriedScore);
    b.betweenLevels = 1;
    b.betweenClock = 0.0f;
    if (b.levelIndex < kLevelCount) {
        h.setPosition(b.levelIndex);
        if (b.levelIndex >= 0) chooseBoardBackdrop(b.levelIndex & 1, levelBackdrop()[b.levelIndex]);
        return;
    }
    // The last level was won: the game is complete. Its total, which now holds this level
    // once, goes to the high scores, the mode starts afresh at level 0 and the map shows the
    // completed game; the finished board is no game to save.
    h.insertHighScore(b.mode, b.carriedScore);
    h.setModeScore(0);
    h.setLives(3);
    b.levelIndex = 0;
    h.setPosition(0);
    h.saveProgress();
    h.markGameCompleted();
    b.gameFinished = 1;
    b.levelComplete = 0;
    b.levelTouched = 0;
    switchMusicSection(0);
}

void comboFrame() {
    Board& b = board();
    if (playBlocked() || !isSettled() || b.inputLock >= 0.0f) return;
    const int n = b.comboCount;
    if (n < 3) return;
    const char* title = n == 3 ? "coolcombo" : n <= 5 ? "supercombo" : n <= 8 ? "megacombo" : n <= 10 ? "ultracombo" : "impossible";
    const int reward = n * 250;
    if (n >= 11) {
        showFloatingText(title, 0.0f, 15.0f, 20.0f, 2000.0f);
        showFloatingNumber("youwon", reward, 0.0f, -10.0f, 15.0f, 2000.0f);
    } else {
        showFloatingText(title, 0.0f, 20.0f, 20.0f, 3000.0f);
        showFloatingNumber("youwon", reward, 0.0f, -15.0f, 15.0f, 3000.0f);
    }
    b.levelScore += reward;
    b.comboCount = 0;
    playSound("BonusPrize.ogg");
    if (n >= 11) awardFirstOf({3, 9, 1});
    else if (n >= 9) awardFirstOf({9, 1});
    else if (n >= 6) awardFirstOf({1});
}

void trophyFrame() {
    Board& b = board();
    if (!isSettled() || b.levelEndClock > 1000.0f) return;
    BoardOutcomeHooks& h = outcomeHooks();
    if (!h.hasNewTrophy() && !b.trophyViewRequested) {
        b.trophyClock = 0.0f;
        return;
    }
    const float before = b.trophyClock;
    b.trophyClock += frameClock().frameMs;
    if (crossed(before, b.trophyClock, 500.0f)) {
        pauseGame();
        h.closeTransition(1000.0f, b.trophyViewRequested ? "" : "gettrophy");
    }
    if (b.trophyClock >= 1500.0f) {
        playSound("GetTrophy.ogg");
        h.enterTrophyRoom(-2);
        b.trophyViewRequested = 0;
        b.paused = 0;
        b.trophyClock = 0.0f;
    }
}

void playClockFrame() {
    Board& b = board();
    if (b.mode == kAdventure || playBlocked()) return;
    b.playClock += frameClock().frameMs;
}

float playTimeMs() {
    const Board& b = board();
    return b.mode == kAdventure ? b.elapsedMs : b.playClock;
}

void countQuickClick() {
    Board& b = board();
    if (b.unsettledClock < 500.0f) b.quickClicks += 1;
    else b.quickClicks = 0;
    b.unsettledClock = 0.0f;
    if (b.quickClicks >= 10) {
        awardFirstOf({17});
        b.quickClicks = 0;
    }
}

void resetQuickClicks() { board().quickClicks = 0; }

void checkStreakTrophies() {
    const int streak = board().colourStreak;
    if (streak >= 11) awardFirstOf({12, 10});
    else if (streak >= 9) awardFirstOf({10});
}

void countGroupTrophies() {
    Board& b = board();
    b.bombGroupsInRow = b.groupBonusKinds[kBomb] ? b.bombGroupsInRow + 1 : 0;
    b.megaGroupsInRow = b.groupBonusKinds[kMegaBomb] ? b.megaGroupsInRow + 1 : 0;
    b.lightningGroupsInRow = b.groupBonusKinds[kLightning] ? b.lightningGroupsInRow + 1 : 0;
    if (b.bombGroupsInRow >= 5) {
        awardFirstOf({14});
        b.bombGroupsInRow = 0;
    }
    if (b.megaGroupsInRow >= 3) {
        awardFirstOf({6});
        b.megaGroupsInRow = 0;
    }
    if (b.lightningGroupsInRow >= 4) {
        awardFirstOf({7});
        b.lightningGroupsInRow = 0;
    }
    if (b.groupSize >= 30) awardFirstOf({16, 8});
    else if (b.groupSize >= 20) awardFirstOf({8});
}

void checkStepTrophies(int stepTotal) {
    if (stepTotal >= 10000) awardFirstOf({4, 5, 2});
    else if (stepTotal >= 7000) awardFirstOf({5, 2});
    else if (stepTotal >= 5000) awardFirstOf({2});
}
