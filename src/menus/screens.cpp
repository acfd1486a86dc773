#include "menus/screens.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "app/frame_clock.h"
#include "app/strings.h"
#include "app/text_format.h"
#include "audio/audio.h"
#include "board/board.h"
#include "board/scoring.h"
#include "menus/flows.h"
#include "menus/menus.h"
#include "menus/panel.h"
#include "platform/random.h"
#include "platform/window.h"
#include "progress/game_modes.h"
#include "progress/map.h"
#include "progress/profiles.h"
#include "progress/records.h"
#include "render/effects.h"
#include "render/text.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr float kResultRowMs = 500.0f;
constexpr int kResultRows = 4;

struct ScreenState {
    char creditLines[kMaxCreditLines][kCreditLineBytes] = {};
    int creditCount = 0;
    float creditsTimer = 0.0f;
    float caretClock = 0.0f;
    // The level result: the counting clock from the moment the window stands still.
    bool resultCounting = false;
    bool resultDone = false;
    float resultClock = 0.0f;
    float pointsClock = 0.0f;
    int resultRowStarted = -1;
};
ScreenState gScreens;

uint32_t argb(int r, int g, int b, int a = 255) {
    return (static_cast<uint32_t>(a) << 24) | (static_cast<uint32_t>(r) << 16) | (static_cast<uint32_t>(g) << 8) |
           static_cast<uint32_t>(b);
}

float frameMs() { return frameClock().frameMs; }

// The screens that grow in from the centre: 1 - away^2.
float growScale() {
    const float a = menuState().menuAway;
    return 1.0f - a * a;
}

const MenuNode* currentNode() { return menuState().current; }
int itemCount() { return currentNode() ? currentNode()->childCount : 0; }
const char* itemCaption(int i) {
    const MenuNode* m = currentNode();
    return m && i >= 0 && i < m->childCount ? m->children[i]->caption : "";
}

void text(float x, float y, float size, const char* s, bool centred, uint32_t colour) {
    setTextColour(colour);
    drawText(x, y, size, s, centred);
    setTextColour(kWhite);
}

// ---- greeting ----

void greetingScreen() {
    MenuState& m = menuState();
    // Gone (backed out of, or left for the trophy room), the greeting shows nothing: its balloon
    // would still peek in at the bottom.
    if (m.menuAway >= 1.0f) return;
    const float x = -210.0f;
    const float y = m.slideOffset + 100.0f;
    const float size = 18.0f;
    const int n = itemCount();
    const int upper = std::min(3, n);
    // Two groups, a separator between them, in one panel.
    float widest = 0.0f;
    for (int i = 0; i < n; ++i) widest = std::max(widest, textWidth(itemCaption(i), size));
    const float gap = n > upper ? size : 0.0f;
    const float height = 2.0f * size * static_cast<float>(n) + gap;
    drawMenuPanel(x, y, widest + 64.0f, height + 64.0f);
    const float top = y + height / 2.0f;
    const float upperHeight = 2.0f * size * static_cast<float>(upper);
    drawItemList(x, top - upperHeight / 2.0f, size, true, 0, upper);
    if (n > upper) {
        const float lineY = top - upperHeight - gap / 2.0f;
        drawFilledRect(x - widest / 2.0f, lineY + 1.0f, x + widest / 2.0f, lineY - 1.0f, argb(120, 90, 50, 160));
        const float lowerHeight = 2.0f * size * static_cast<float>(n - upper);
        drawItemList(x, lineY - gap / 2.0f - lowerHeight / 2.0f, size, true, upper, n);
    }

    // The speech balloon with the player's name and the way to the profile list.
    const float by = -225.0f - 100.0f * m.menuAway;
    const float bx = 230.0f;
    char hello[96];
    formatWith(hello, sizeof hello, lookupText("hallo"), profileCount() > 0 ? currentProfile().name : "");
    const char* other = lookupText("ifnotyou");
    const float bw = std::max(textWidth(hello, 12.5f), textWidth(other, 11.0f)) + 64.0f;
    drawMenuPanel(bx, by, bw, 110.0f);
    text(bx, by + 14.0f, 12.5f, hello, true, argb(240, 233, 0));
    const float ow = textWidth(other, 11.0f);
    MenuWidget* link = addWidget(bx - ow / 2.0f, by - 6.0f, bx + ow / 2.0f, by - 30.0f, kWidgetName);
    const bool lit = link && link->flag;
    text(bx, by - 24.0f, 11.0f, other, true, lit ? kWhite : argb(100, 250, 100));

    // A tip beside the selected item while the cursor rests on it.
    const int sel = m.selectedItem;
    float cx = 0.0f, cy = 0.0f;
    logicalCursor(cx, cy);
    const bool resting = sel >= 0 && sel < m.itemRectCount && cx >= m.itemRects[sel].left &&
                         cx <= m.itemRects[sel].right && cy <= m.itemRects[sel].top && cy >= m.itemRects[sel].bottom;
    if (sel >= 0 && sel < 6 && sel < n && resting) {
        const char* tip = textAt(indexOfName("adventuretip") + sel);
        if (tip[0]) {
            const float width = 220.0f;
            const float lines = static_cast<float>(std::max(1, wrappedLineCount(tip, 11.0f, width)));
            const float h = lines * 1.8f * 11.0f + 40.0f;
            // Beside the list, level with the item, and wholly on the screen.
            const ItemRect& r = m.itemRects[sel];
            const float ty = std::clamp((r.top + r.bottom) / 2.0f, -300.0f + h / 2.0f, 300.0f - h / 2.0f);
            const float tx = std::max(-110.0f, r.right + 40.0f) + width / 2.0f + 20.0f;
            drawMenuPanel(tx, ty, width + 40.0f, h);
            setTextColour(kWhite);
            drawWrappedText(tx, ty + h / 2.0f - 28.0f, 11.0f, width, tip, true);
        }
    }
}

// ---- profile list ----

void profilesScreen() {
    MenuState& m = menuState();
    const int count = profileCount();
    const float left = 25.0f, right = 355.0f;
    const float cx = (left + right) / 2.0f;
    const float height = 30.0f * static_cast<float>(count) + 115.0f;
    const float top = m.slideOffset + 150.0f + height / 2.0f;
    drawMenuPanel(cx, top - height / 2.0f, right - left, height);
    text(cx, top - 45.0f, 18.0f, lookupText("curusers"), true, argb(0, 255, 255));
    for (int i = 0; i < count; ++i) {
        const float y = top - 85.0f - 30.0f * static_cast<float>(i);
        addWidget(left + 20.0f, y + 18.0f, right - 20.0f, y - 10.0f, kWidgetListEntry);
        const bool hovered = m.hoveredWidget == i;
        text(cx, y, 14.0f, profileTable().slots[i].name, true, hovered ? argb(255, 255, 0) : kWhite);
    }
    drawPanelAndList(-210.0f, m.slideOffset + 150.0f, 16.0f, true);
}

// ---- name entry ----

void nameEntryScreen() {
    MenuState& m = menuState();
    const float s = growScale();
    if (s <= 0.01f) return;
    drawMenuPanel(0.0f, 0.0f, 400.0f * s, 280.0f * s);
    // The heading keeps within the panel: a longer one is drawn smaller.
    const char* heading = lookupText("entername");
    const float headingWidth = textWidth(heading, 15.0f);
    const float headingSize = headingWidth > 360.0f ? 15.0f * 360.0f / headingWidth : 15.0f;
    text(0.0f, 90.0f * s, headingSize * s, heading, true, kWhite);
    drawFilledRect(-165.0f * s, 52.0f * s, 165.0f * s, -12.0f * s, argb(40, 30, 20, 150));
    const float size = 17.0f * s;
    const float width = textWidth(m.textField, size);
    const float tx = -width / 2.0f;
    text(tx, 20.0f * s, size, m.textField, false, kWhite);
    gScreens.caretClock += frameMs();
    char before[kTextFieldSize];
    const int at = std::clamp(m.textCursor, 0, static_cast<int>(std::strlen(m.textField)));
    std::memcpy(before, m.textField, static_cast<size_t>(at));
    before[at] = '\0';
    const float alpha = std::sin(gScreens.caretClock * 0.01f) * 0.5f + 0.5f;
    text(tx + textWidth(before, size) - 3.0f * s, 20.0f * s, size, "|", false,
         argb(255, 255, 55, static_cast<int>(alpha * 255.0f)));
    if (profileCount() > 0 && itemCount() >= 2) {
        drawMenuButton(-90.0f * s, -80.0f * s, 128.0f * s, 64.0f * s, 18.0f * s, nullptr);
        drawMenuButton(90.0f * s, -80.0f * s, 128.0f * s, 64.0f * s, 18.0f * s, nullptr);
    } else {
        drawMenuButton(0.0f, -80.0f * s, 150.0f * s, 64.0f * s, 18.0f * s, nullptr);
    }
}

// ---- options ----

void optionsScreen() {
    MenuState& m = menuState();
    const float s = growScale();
    if (s <= 0.01f) return;
    Settings& set = settings();
    FlowState& flow = flowState();
    // Measured from the panel's top-left corner (-190, 260), 380 x 450.
    auto X = [&](float x) { return x * s; };
    auto Y = [&](float down) { return (260.0f - down) * s; };
    drawMenuPanel(0.0f, Y(225.0f), 380.0f * s, 450.0f * s);
    text(0.0f, Y(55.0f), 17.0f * s, currentNode() ? currentNode()->caption : "", true, argb(255, 255, 155));

    text(0.0f, Y(100.0f), 13.0f * s, lookupText("sfxvolume"), true, kWhite);
    MenuWidget* sfx = drawSlider(X(-80.0f), X(80.0f), Y(125.0f), 100, s);
    text(0.0f, Y(163.0f), 13.0f * s, lookupText("musicvolume"), true, kWhite);
    MenuWidget* music = drawSlider(X(-80.0f), X(80.0f), Y(188.0f), 100, s);
    MenuWidget* full = drawCheckBox(X(-100.0f), Y(248.0f), s);
    text(X(-60.0f), Y(252.0f), 10.0f * s, lookupText("fullscreen"), false, kWhite);
    MenuWidget* cursor = drawCheckBox(X(-100.0f), Y(298.0f), s);
    text(X(-60.0f), Y(302.0f), 10.0f * s, lookupText("customcursor"), false, kWhite);

    // While the screen opens the widgets show the settings; then the settings follow them. The
    // bar has 100 positions: a volume of 100 stands at its end until the knob is moved.
    if (sfx && music && full && cursor) {
        if (m.opening) {
            sfx->position = static_cast<int16_t>(std::min(set.sfxVolume, 99));
            music->position = static_cast<int16_t>(std::min(set.musicVolume, 99));
            full->flag = flow.fullScreenChoice;
            cursor->flag = set.customCursor != 0;
        } else {
            if (sfx->position != std::min(set.sfxVolume, 99)) {
                set.sfxVolume = sfx->position;
                playSound("SFXVolume.ogg");
            }
            if (music->position != std::min(set.musicVolume, 99)) set.musicVolume = music->position;
            flow.fullScreenChoice = full->flag;
            const uint8_t custom = cursor->flag ? 1 : 0;
            if (custom != set.customCursor) {
                set.customCursor = custom;
                applyCursorSetting();  // the drawn cursor replaces the system's at once
            }
        }
    }
    applyVolumes();
    drawWidgetHighlight();
    drawMenuButton(0.0f, Y(378.0f), 128.0f * s, 64.0f * s, 15.0f * s, nullptr);
}

// ---- mode screen ----

void modeScreen() {
    // The level marks of the map's stage are this frame's kind-9 widgets; the level chosen
    // among them is the map's selected level.
    MapLevelMark marks[kMaxLevelMarks];
    const int markCount = mapLevelMarks(marks, kMaxLevelMarks);
    for (int i = 0; i < markCount; ++i) {
        if (MenuWidget* w = addWidget(marks[i].left, marks[i].top, marks[i].right, marks[i].bottom, kWidgetLevelMark))
            w->position = static_cast<int16_t>(marks[i].level);
    }
    MenuState& m = menuState();
    if (m.chosenLevel != selectedLevel() && mapLevelChoosable(m.chosenLevel)) chooseMapLevel(m.chosenLevel);
    const float alpha = 1.0f - menuState().menuAway;
    const int n = itemCount();
    if (n > 0) drawMenuButton(258.0f, -252.0f, 256.0f, 106.0f, 26.0f, nullptr, alpha);
    if (n > 1) drawMenuButton(-364.0f, 264.0f, 64.0f, 64.0f, 18.0f, nullptr, alpha);
    // The trophies of this mode, beside the way back.
    if (n > 2) drawMenuButton(-248.0f, 264.0f, 150.0f, 64.0f, 18.0f, nullptr, alpha);
}

// ---- saved-game question ----

void loadGameScreen() {
    const float s = growScale();
    if (s <= 0.01f) return;
    static const char* const kTitles[kModeCount] = {"loadclassicmode", "loadendlessmode", "loadpuzzlemode"};
    drawMenuPanel(0.0f, 0.0f, 450.0f * s, 350.0f * s);
    const int mode = std::clamp(gameMode(), 0, kModeCount - 1);
    text(0.0f, 130.0f * s, 19.0f * s, lookupText(kTitles[mode]), true, argb(255, 255, 155));
    drawWrappedText(0.0f, 80.0f * s, 13.0f * s, 360.0f * s, lookupText("loadmsg"), true);
    char line[96];
    formatWith(line, sizeof line, lookupText("surlevscore"), currentLevelNumber() + 1, modeScore());
    text(0.0f, 0.0f, 17.0f * s, line, true, argb(255, 255, 0));
    drawMenuButton(-90.0f * s, -100.0f * s, 128.0f * s, 64.0f * s, 17.0f * s, nullptr);
    drawMenuButton(90.0f * s, -100.0f * s, 128.0f * s, 64.0f * s, 17.0f * s, nullptr);
}

// ---- in-game tip ----

// The in-game tips follow "gametip1" in the table; the counter goes round them.
const char* gameTip(int counter) {
    const int first = indexOfName("gametip1");
    int count = 0;
    while (count < 64 && std::strncmp(nameAt(first + count), "gametip", 7) == 0) ++count;
    if (count == 0) return "";
    return textAt(first + (counter % count + count) % count);
}

void gameTipScreen() {
    const float s = growScale();
    if (s <= 0.01f) return;
    const char* tip = gameTip(flowState().tipCounter);
    const float width = 340.0f * s;
    const float lines = static_cast<float>(std::max(1, wrappedLineCount(tip, 10.0f * s, width)));
    const float textHeight = lines * 18.0f * s;
    const float height = textHeight + 170.0f * s;
    drawMenuPanel(0.0f, 0.0f, 400.0f * s, height);
    const float top = height / 2.0f;
    text(0.0f, top - 40.0f * s, 12.0f * s, lookupText("showgametip"), true, argb(255, 255, 155));
    drawWrappedText(0.0f, top - 70.0f * s, 10.0f * s, width, tip, true);
    drawMenuButton(0.0f, -top + 50.0f * s, 128.0f * s, 64.0f * s, 17.0f * s, nullptr);
}

// ---- message boxes ----

void messageScreen() {
    MenuState& m = menuState();
    const float s = growScale();
    if (s <= 0.01f) return;
    const float width = 380.0f * s;
    const float lines = static_cast<float>(std::max(1, wrappedLineCount(m.messageText, 14.0f * s, width)));
    const float textHeight = lines * 1.8f * 14.0f * s;
    const float height = textHeight + 170.0f * s;
    drawMenuPanel(0.0f, 0.0f, 450.0f * s, height);
    const float top = height / 2.0f;
    drawWrappedText(0.0f, top - 50.0f * s, 14.0f * s, width, m.messageText, true);
    const float by = -top + 60.0f * s;
    if (itemCount() >= 2) {
        drawMenuButton(-90.0f * s, by, 128.0f * s, 64.0f * s, 17.0f * s, nullptr);
        drawMenuButton(90.0f * s, by, 128.0f * s, 64.0f * s, 17.0f * s, nullptr);
    } else {
        drawMenuButton(0.0f, by, 128.0f * s, 64.0f * s, 17.0f * s, nullptr);
    }
}

// ---- level result ----

void minutesSeconds(char* out, size_t capacity, const char* templ, float ms) {
    const int total = ms > 0.0f ? static_cast<int>(ms / 1000.0f) : 0;
    formatWith(out, capacity, templ, total / 60, total % 60);
}

// The share of row r already counted.
float rowShare(int r) {
    if (gScreens.resultDone) return 1.0f;
    if (!gScreens.resultCounting) return 0.0f;
    return std::clamp((gScreens.resultClock - kResultRowMs * static_cast<float>(r)) / kResultRowMs, 0.0f, 1.0f);
}

float resultRowY(int r) { return 110.0f - 36.0f * static_cast<float>(r); }

void countLevelResult() {
    MenuState& m = menuState();
    if (gScreens.resultDone) return;
    if (!gScreens.resultCounting) {
        if (m.opening) return;
        gScreens.resultCounting = true;
        gScreens.resultClock = 0.0f;
    } else {
        gScreens.resultClock += frameMs();
    }
    const int row = std::min(kResultRows - 1, static_cast<int>(gScreens.resultClock / kResultRowMs));
    if (gScreens.resultClock >= kResultRowMs * kResultRows) {
        gScreens.resultDone = true;
        gScreens.resultCounting = false;
        return;
    }
    if (row != gScreens.resultRowStarted) {
        gScreens.resultRowStarted = row;
        startEffect("wowIQ", 150.0f, resultRowY(row) + 6.0f);
        playSound("LevelStatistic.ogg");
    }
    gScreens.pointsClock += frameMs();
    while (gScreens.pointsClock >= 25.0f) {
        gScreens.pointsClock -= 25.0f;
        const float dx = static_cast<float>(platform::rand() % 41 - 20);
        const float dy = static_cast<float>(platform::rand() % 41 - 20);
        startEffect("pointsIQ", 150.0f + dx, resultRowY(row) + 6.0f + dy);
    }
}

void levelResultScreen() {
    countLevelResult();
    const float s = growScale();
    if (s <= 0.01f) return;
    const Board& b = board();
    drawMenuPanel(0.0f, 0.0f, 540.0f * s, 420.0f * s);
    text(0.0f, 165.0f * s, 20.0f * s, lookupText("levelresult"), true, argb(255, 255, 155));
    const float playMs = playTimeMs();
    const float values[kResultRows] = {static_cast<float>(b.shownScore), static_cast<float>(b.bestStreak),
                                       static_cast<float>(b.movesUsed), playMs};
    static const char* const kLabels[kResultRows] = {"yourscore", "yourcombo", "yourmoves", "yourtime"};
    for (int r = 0; r < kResultRows; ++r) {
        const float y = resultRowY(r) * s;
        text(-230.0f * s, y, 15.0f * s, lookupText(kLabels[r]), false, kWhite);
        const float shown = values[r] * rowShare(r);
        char value[48];
        if (r == 3) minutesSeconds(value, sizeof value, "%.2i:%.2i", shown);
        else formatWith(value, sizeof value, "%i", static_cast<int>(shown));
        text(150.0f * s, y, 15.0f * s, value, true, argb(255, 255, 0));
    }
    // The level's records; the player's own name where their result is at least as good.
    const int mode = std::clamp(static_cast<int>(b.mode), 0, kModeCount - 1);
    const int level = std::clamp(b.levelIndex, 0, kRecordLevels - 1);
    const LevelRecord& rec = recordTable().levels[mode][level];
    const char* self = profileCount() > 0 ? currentProfile().name : "";
    char line[128];
    char value[48];
    formatWith(value, sizeof value, "   %i", rec.fewestMoves);
    std::snprintf(line, sizeof line, "%s%s %s %s", lookupText("bestmoves"), value, lookupText("by"),
                  b.movesUsed <= rec.fewestMoves ? self : rec.movesHolder);
    text(0.0f, -40.0f * s, 13.0f * s, line, true, argb(55, 255, 255));
    minutesSeconds(value, sizeof value, "   %.2i:%.2i", static_cast<float>(rec.fastestMs));
    std::snprintf(line, sizeof line, "%s%s %s %s", lookupText("besttime"), value, lookupText("by"),
                  playMs <= static_cast<float>(rec.fastestMs) ? self : rec.timeHolder);
    text(0.0f, -70.0f * s, 13.0f * s, line, true, argb(55, 255, 255));
    drawMenuButton(0.0f, (-210.0f + 55.0f) * s, 128.0f * s, 64.0f * s, 18.0f * s, nullptr);
}

// ---- defeat ----

void defeatScreen() {
    const float s = growScale();
    if (s <= 0.01f) return;
    const int n = itemCount();
    float widest = 0.0f;
    for (int i = 0; i < n; ++i) widest = std::max(widest, textWidth(itemCaption(i), 18.0f));
    // The panel holds its two lines of text as well as the list.
    widest = std::max({widest, textWidth(lookupText("timeisup"), 16.0f), textWidth(lookupText("loselife"), 16.0f)});
    const float listHeight = 36.0f * static_cast<float>(n);
    drawMenuPanel(0.0f, 0.0f, (widest + 94.0f) * s, (listHeight + 164.0f) * s);
    text(0.0f, 65.0f * s, 16.0f * s, lookupText("timeisup"), true, argb(55, 255, 255));
    text(0.0f, 30.0f * s, 16.0f * s, lookupText("loselife"), true, argb(55, 255, 255));
    drawItemList(0.0f, -40.0f * s, 18.0f * s, true, 0, n);
}

// ---- high scores ----

void highScoreScreen() {
    FlowState& flow = flowState();
    const float s = growScale();
    if (s <= 0.01f) return;
    static const char* const kModes[kModeCount] = {"classicmode", "endlessmode", "puzzlemode"};
    const int mode = std::clamp(flow.shownHighScoreMode, 0, kModeCount - 1);
    const float rowStep = 26.0f;
    drawMenuPanel(0.0f, 0.0f, 440.0f * s, 480.0f * s);
    const MenuNode* menu = currentNode();
    text(0.0f, 200.0f * s, 20.0f * s, menu ? menu->caption : "", true, argb(255, 255, 155));
    text(0.0f, 165.0f * s, 14.0f * s, lookupText(kModes[mode]), true, argb(55, 255, 255));
    const int highlighted = mode == flow.highScoreEntryMode ? newEntryIndex() : -1;
    const HighScoreEntry* rows = highScoreTable().entries[mode];
    float y = 130.0f;
    for (int i = 0; i < kHighScoreRows; ++i, y -= rowStep) {
        char score[32];
        formatWith(score, sizeof score, "%i", rows[i].score);
        char name[kHighScoreNameBytes + 1];
        std::memcpy(name, rows[i].name, kHighScoreNameBytes);
        name[kHighScoreNameBytes] = '\0';
        if (i == highlighted) {
            drawHighlightText(-170.0f * s, y * s, 14.0f * s, name, false);
            drawHighlightText(170.0f * s - textWidth(score, 14.0f * s), y * s, 14.0f * s, score, false);
        } else {
            text(-170.0f * s, y * s, 14.0f * s, name, false, kWhite);
            text(170.0f * s - textWidth(score, 14.0f * s), y * s, 14.0f * s, score, false, kWhite);
        }
    }
    const float by = (y + rowStep - 30.0f - 32.0f) * s;
    drawMenuButton(0.0f, by, 128.0f * s, 64.0f * s, 19.0f * s, nullptr);
    drawArrow(-150.0f * s, by, 50.0f * s, false);
    drawArrow(150.0f * s, by, 50.0f * s, true);
}

// ---- credits ----

void creditsScreen() {
    MenuState& m = menuState();
    m.selectedItem = -1;
    const float count = static_cast<float>(gScreens.creditCount);
    if (count * 40.0f - 50.0f > 0.03f * gScreens.creditsTimer - 200.0f) gScreens.creditsTimer += frameMs();
    for (int i = 0; i < gScreens.creditCount; ++i) {
        const float y = 0.03f * gScreens.creditsTimer - 200.0f - 40.0f * static_cast<float>(i);
        const float ay = std::fabs(y);
        const float alpha = ay < 100.0f ? 1.0f : ay > 260.0f ? 0.0f : (260.0f - ay) / 160.0f;
        if (alpha <= 0.0f) continue;
        const char* line = gScreens.creditLines[i];
        const bool lower = std::strlen(line) >= 3 && line[2] >= 'a' && line[2] <= 'z';
        const uint32_t colour = lower ? argb(255, 255, 0) : kWhite;
        drawShadowedText(0.0f, y, 16.0f, line, true, fadeColour(colour, alpha));
    }
}

}  // namespace

MenuScreen screenFunctionFor(const char* name) {
    struct Entry {
        const char* name;
        MenuScreen screen;
    };
    static const Entry kScreens[] = {
        {"main", greetingScreen},          {"profiles", profilesScreen},    {"newprofile", nameEntryScreen},
        {"rename", nameEntryScreen},       {"options", optionsScreen},      {"adventure", modeScreen},
        {"timeless", modeScreen},          {"puzzle", modeScreen},          {"loadgamequest", loadGameScreen},
        {"gameplaytip", gameTipScreen},    {"messageboxok", messageScreen}, {"messageboxyn", messageScreen},
        {"levelcomplete", levelResultScreen}, {"defeat", defeatScreen},    {"gameover", defeatScreen},
        {"hiscore", highScoreScreen},      {"credits", creditsScreen},
    };
    if (!name) return nullptr;
    for (const Entry& e : kScreens)
        if (std::strcmp(e.name, name) == 0) return e.screen;
    return nullptr;
}

void attachMenuScreens(const char* captions) {
    MenuState& m = menuState();
    for (int i = 0; i < m.nodeCount; ++i) m.nodes[i].special = screenFunctionFor(m.nodes[i].name);
    buildCreditLines(captions);
}

void buildCreditLines(const char* menuText) {
    gScreens.creditCount = 0;
    if (!menuText) return;
    const char* start = std::strstr(menuText, "[credits/]");
    if (!start) return;
    start += std::strlen("[credits/]");
    const char* end = std::strstr(start, "[/credits]");
    if (!end) end = start + std::strlen(start);
    // Past the line end of the opening mark; then one line each.
    const char* p = start;
    while (p < end && *p != '\n') ++p;
    if (p < end) ++p;
    bool leading = true;
    while (p < end && gScreens.creditCount < kMaxCreditLines) {
        const char* lineEnd = p;
        while (lineEnd < end && *lineEnd != '\n') ++lineEnd;
        const char* textEnd = lineEnd;
        if (textEnd > p && textEnd[-1] == '\r') --textEnd;
        const size_t length = std::min(static_cast<size_t>(textEnd - p), static_cast<size_t>(kCreditLineBytes - 1));
        if (!(leading && length == 0)) {
            leading = false;
            char* line = gScreens.creditLines[gScreens.creditCount++];
            std::memcpy(line, p, length);
            line[length] = '\0';
        }
        p = lineEnd < end ? lineEnd + 1 : end;
    }
    // The mark's own line leaves an empty tail line behind the last one.
    while (gScreens.creditCount > 0 && gScreens.creditLines[gScreens.creditCount - 1][0] == '\0')
        --gScreens.creditCount;
}

int creditLineCount() { return gScreens.creditCount; }
const char* creditLine(int i) { return i >= 0 && i < gScreens.creditCount ? gScreens.creditLines[i] : ""; }
float& creditsTimer() { return gScreens.creditsTimer; }

void startLevelResult() {
    gScreens.resultCounting = false;
    gScreens.resultDone = false;
    gScreens.resultClock = 0.0f;
    gScreens.pointsClock = 0.0f;
    gScreens.resultRowStarted = -1;
}

bool levelResultCounting() { return !gScreens.resultDone; }

void finishLevelResult() {
    clearEffects();
    gScreens.resultDone = true;
    gScreens.resultCounting = false;
}

void resetScreens() { gScreens = ScreenState{}; }
