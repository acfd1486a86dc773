// Trophies and the trophy room: the trophies' pictures ("trophy.txt") and places
// ("trophyes/trophy.cfg"), the room scene with its trophy window, hover, tips and leaving.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "audio/ambience.h"
#include "progress/trophy_state.h"

struct TextureEntry;

constexpr size_t kTrophyLayoutBytes = 92;
constexpr size_t kTrophyLayoutFileBytes = kTrophyLayoutBytes * kTrophyCount;  // 1564
constexpr int kTrophyNameBytes = 64;

// Where a trophy stands in the room: its picture's size in room units, its centre (origin at
// the screen centre, y up) and the scale applied to the size; the hovered flag is the run's.
struct TrophyLayout {
    float width = 0.0f;
    float height = 0.0f;
    float x = 0.0f;
    float y = 0.0f;
    float scale = 1.0f;
    uint8_t hovered = 0;
};

// A diagonal from the top left towards the bottom right, at the pictures' sizes.
TrophyLayout defaultTrophyLayout(int index, int pictureWidth, int pictureHeight);
// The 17 records of "trophy.cfg". False (out untouched) unless the file holds all 1564 bytes.
// A record with a size or place that is no usable number (not finite, size not above 0,
// further out than 100000 units) keeps the default it had.
bool decodeTrophyLayout(const uint8_t* bytes, size_t size, TrophyLayout out[kTrophyCount]);
void encodeTrophyLayout(const TrophyLayout layout[kTrophyCount], std::vector<uint8_t>& out);
// The picture and glow names of "trophy.txt" ("trophy%i=", "trophylum%i=").
void readTrophyNames(const char* text, char pictures[kTrophyCount][kTrophyNameBytes],
                     char glows[kTrophyCount][kTrophyNameBytes]);

// A trophy picture's opacity, kept from its decoded pixels for the hover test.
struct TrophyMask {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> alpha;  // width x height, top row first
};
// u, v from 0 to 1 across the picture from its top left: true where the alpha is at least 1.
bool maskOpaqueAt(const TrophyMask& mask, float u, float v);

// The trophy room: states 1..4 of the trophy window (4 idle).
struct TrophyRoomState {
    int returnKind = -1;    // -2 a running level, -1 the main menu, 0..2 a mode's menu
    int levelBackdrop = 0;  // the running level's backdrop, given back on return
    char profileName[32] = {};
    float roomMs = 0.0f;
    AmbienceClock ambience;
    float backGlow = 0.0f;
    int window = 4;
    float windowMs = 0.0f;
    int windowTrophy = 0;   // 1..17
    int hovered = 0;        // 1..17, 0 for none
    float hoverMs = 0.0f;
    float tipSlide = 0.0f;  // 0 hidden .. 1 shown
    bool leaving = false;
    float leaveMs = 0.0f;
};

struct TrophyTable {
    bool loaded = false;
    TextureEntry* pictures[kTrophyCount] = {};
    TextureEntry* glows[kTrophyCount] = {};
    TrophyMask masks[kTrophyCount];
    TrophyLayout layout[kTrophyCount];
};

TrophyTable& trophyTable();
TrophyRoomState& trophyRoom();
void resetTrophyRoom();  // the room's state (tests, a fresh run); the pictures stay
void resetTrophies();    // everything (a fresh run)

// Start-up: "trophy.txt" and the pictures (fatal when missing), "trophy.cfg" (defaults).
void loadTrophies();
// Writes the layout to "trophyes/trophy.cfg"; a failure (a read-only data folder) is ignored.
bool writeTrophyLayout();

// Enters the room: -2 from a running level, -1 from the main menu, 0..2 from a mode's menu.
void enterTrophyRoom(int returnKind);
// The trophy under a point (logical coordinates), 1..17, or 0.
int trophyAt(float x, float y);

void trophyRoomFrame();
void trophyRoomKeyStep(int key);
void trophyRoomPress();
void trophyRoomPressAt(float x, float y);
void trophyRoomDoubleClick();
void trophyRoomRelease();
void trophyRoomHover();
