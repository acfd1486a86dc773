// Animated backdrops: the painted landscape behind the board, the map and the trophy room, its
// moving objects (sky, water, waterfalls, spray, swinging leaves, still decorations), the tint,
// the level-to-level transition, and the artefact pictures of the journey map.
#pragma once

#include <cstdint>

struct TextureEntry;
struct Model;

constexpr int kMaxGameObjects = 512;
constexpr int kMaxObjectGroups = 512;
constexpr int kMaxBackdropObjects = 128;
constexpr int kSprayRing = 256;
constexpr int kMaxLeafSprites = 128;
constexpr int kBackdropCount = 18;
constexpr int kPreloadedLayouts = 16;
constexpr int kMenuBackdrop = 15;
constexpr int kTrophyRoomBackdrop = 17;
constexpr float kBackdropTransitionMs = 3000.0f;
constexpr int kArtefactCount = 15;
constexpr int kCoverCount = 11;  // cover 0 closed, cover k with k pieces open

// The layout file: a 64-byte title, the object count, then records of 65 bytes.
constexpr int kLayoutHeaderBytes = 68;
constexpr int kLayoutRecordBytes = 65;

// Tint presets.
constexpr int kTintCool = 0;
constexpr int kTintWarm = 1;
constexpr int kTintNeutral = 2;

// Reveal states of the artefact panel on the map.
constexpr int kRevealNone = 0;
constexpr int kRevealRevealing = 1;
constexpr int kRevealPulsing = 2;

enum class ObjectKind { Sky, Waterfall, Water, Spray, Leaves, Still };
ObjectKind objectKind(const char* name);

struct GameObjectEntry {
    char name[32];
    TextureEntry* texture;
    Model* model;
    int group;
};

// "gameobjs.txt" as read: the groups in block order and every entry with its file name.
struct GameObjectList {
    int groupCount = 0;
    char groups[kMaxObjectGroups][32];
    int entryCount = 0;
    struct Line {
        char name[32];
        char file[128];
        int group;
    } entries[kMaxGameObjects];
};
void readGameObjectList(const char* text, GameObjectList& out);

// One object record of a layout file.
struct LayoutRecord {
    char name[33];
    float x0, y0, x1, y1;
    float angle;
    float speedX, speedY;
    uint8_t mirrored;
    int32_t behind;
};
// The number of records a layout file holds: its count, within 0..128 and what its size holds.
int layoutObjectCount(const uint8_t* bytes, int32_t size);
// Record i (below layoutObjectCount).
LayoutRecord layoutRecord(const uint8_t* bytes, int i);

struct BackdropObject {
    bool drawn;
    int entry;  // into the game objects
    float x0, y0, x1, y1;
    float angle;
    float speedX, speedY;
    bool mirrored;
    uint32_t colour;
    float timer;
    int32_t behind;
};

struct BackdropScene {
    int number = -1;  // -1: none yet
    TextureEntry* picture = nullptr;
    BackdropObject objects[kMaxBackdropObjects];
    int objectCount = 0;
    int incomingNumber = -1;
    TextureEntry* incomingPicture = nullptr;
    float timer = 0.0f;  // of the transition; 0 when none runs
    float fade = 0.0f;
};

struct BackdropTint {
    float current[4] = {1, 1, 1, 1};
    float target[4] = {1, 1, 1, 1};
};

struct SprayDroplet {
    float x, y;
    float time;
    TextureEntry* texture;
};

struct LeafSprite {
    float x, y;
    float pivotX, pivotY;
    float angle;
    float width, height;
    uint32_t colour;
    TextureEntry* texture;
    bool mirrored;
};

struct BackdropState {
    bool loaded = false;  // the game objects and layouts are read
    GameObjectEntry entries[kMaxGameObjects];
    int entryCount = 0;
    char groups[kMaxObjectGroups][32];
    int groupCount = 0;
    const uint8_t* layouts[kBackdropCount] = {};
    int32_t layoutSizes[kBackdropCount] = {};
    BackdropScene scene;
    BackdropTint tint;
    SprayDroplet spray[kSprayRing] = {};
    int nextSpray = 0;
    LeafSprite leaves[kMaxLeafSprites];
    int leafCount = 0;
    TextureEntry* artefacts[kArtefactCount] = {};
    TextureEntry* covers[kCoverCount] = {};
};

BackdropState& backdropState();
// Forgets everything (the pictures go with the device): tests and a fresh run.
void resetBackdrops();

// Reads "AnimBacks/gameobjs.txt" with its pictures and the layouts of backdrops 0..15.
void loadGameObjects();
// Adds a game object (tests and the loader); false when the table is full.
bool addGameObject(const char* name, TextureEntry* texture, Model* model, int group);
// A layout file's bytes for a backdrop number (kept by the resource store).
void setLayoutBytes(int number, const uint8_t* bytes, int32_t size);
// Fills the scene's objects from the backdrop's layout. The timers start at random unless a
// transition runs.
void loadBackdropLayout(int number);

void setBackdrop(int number);
void changeBackdrop(int number);
// The board scene's backdrop with the transition; dimming is board play's 0..1 (1 bright).
void drawBackdrop(bool cameraSwing, float dimming = 1.0f);
// The map's and the trophy room's backdrop, without the transition.
void drawStillBackdrop();
void setTintTarget(int preset);
void setTintNow(int preset);

void loadArtefactPictures();
// The artefact (numbers above 14 mean 14) under its cover, 256 x 256 at (256, 156); cover 10
// shows the whole artefact.
void drawArtefactPicture(int artefact, int cover, int revealState, float revealMs);
