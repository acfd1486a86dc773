#include "menus/cursor.h"

#include <cmath>
#include <cstring>

#include "app/frame_clock.h"
#include "app/loader.h"
#include "app/scene.h"
#include "menus/panel.h"
#include "platform/image.h"
#include "platform/window.h"
#include "progress/profiles.h"
#include "render/textures.h"

namespace {

struct CursorState {
    int kind = 0;         // 0 arrow, 1 hammer, 2 blank
    float glowMs = 0.0f;  // the drawn cursor's glow
};
CursorState gCursor;

// Where the drawn cursor's cell stands against the cursor point: its centre 30 right and 32
// down, so the point is the cell's pixel (2, 0).
constexpr float kCellOffsetX = 30.0f;
constexpr float kCellOffsetY = -32.0f;

// With the custom-cursor setting the program draws its cursor once it has the pictures for it
// and a scene that draws it shows (or is about to); until then, on the splash and loading
// screens, the system's cursor stands in, so no screen is ever without one.
bool programDrawsCursor() {
    if (!settings().customCursor || !menuAtlasTexture()) return false;
    const SceneState& s = sceneState();
    const Scene* host = s.pending ? s.pendingScene : s.currentScene;
    return host && host != loaderScene() && host != nullScene();
}

}  // namespace

void logicalCursor(float& x, float& y) {
    float cx = 0.0f;
    float cy = 0.0f;
    platform::cursorPosition(cx, cy);
    // The cursor comes in picture pixels; the picture is 800 x 600 whatever the window's size.
    const float w = static_cast<float>(platform::kPictureWidth);
    const float h = static_cast<float>(platform::kPictureHeight);
    x = w > 0.0f ? cx * 800.0f / w - 400.0f : 0.0f;
    y = h > 0.0f ? 300.0f - cy * 600.0f / h : 0.0f;
}

void setSystemCursor(int kind) {
    if (kind < 0 || kind > 2) kind = 0;
    gCursor.kind = kind;
    applyCursorSetting();
}

int systemCursorKind() { return gCursor.kind; }

void drawCursor() {
    if (!programDrawsCursor()) return;
    float cx = 0.0f, cy = 0.0f;
    if (!platform::cursorPosition(cx, cy)) return;
    float x, y;
    logicalCursor(x, y);
    if (x < -400.0f || x > 400.0f || y < -300.0f || y > 300.0f) return;
    gCursor.glowMs += frameClock().frameMs;
    const bool arrow = gCursor.kind == 0;
    const float glow = (std::sin(gCursor.glowMs * 0.005f) + 1.0f) * 127.5f;
    const uint32_t glowColour = (static_cast<uint32_t>(glow) << 24) | 0x00FFFFFFu;
    drawAtlasPiece(arrow ? 22 : 24, x + kCellOffsetX, y + kCellOffsetY, 64.0f, 64.0f, 0xFFFFFFFFu);
    drawAtlasPiece(arrow ? 23 : 25, x + kCellOffsetX, y + kCellOffsetY, 64.0f, 64.0f, glowColour);
}

// The hammer of the system cursor is the atlas's hammer piece (cell column 3, row 6), its hot
// spot the middle of the hammer's head.
void makeHammerCursor() {
    int32_t size = 0;
    uint8_t* bytes = loadPictureFile("_a_menutex.jpg", &size, false);
    if (!bytes) return;
    const int32_t jpegSize = alphaJpegSplit(bytes, size);
    platform::Picture picture;
    const bool decoded = platform::decodePicture(bytes, jpegSize > 0 ? jpegSize : size, picture);
    if (decoded && jpegSize > 0) {
        const size_t n = static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height);
        const size_t plane = static_cast<size_t>(size - jpegSize);
        for (size_t i = 0; i < n && i < plane; ++i) picture.rgba[i * 4 + 3] = bytes[jpegSize + i];
    }
    releasePictureFile(bytes);
    if (!decoded || picture.width < 256 || picture.height < 512) return;
    constexpr int kCell = 64, kColumn = 3, kRow = 6;
    uint8_t cell[kCell * kCell * 4];
    for (int y = 0; y < kCell; ++y)
        std::memcpy(cell + y * kCell * 4,
                    picture.rgba.data() + (static_cast<size_t>(kRow * kCell + y) * picture.width + kColumn * kCell) * 4,
                    kCell * 4);
    platform::setHammerCursorPicture(cell, kCell, kCell, 16, 16);
}

void applyCursorSetting() {
    const bool drawn = programDrawsCursor();
    platform::showSystemCursor(!drawn && gCursor.kind != 2);
    if (!drawn) platform::setHammerCursor(gCursor.kind == 1);
}
