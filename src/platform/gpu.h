// The drawing backend over OpenGL 2.1 (compatibility profile): render states, transforms,
// textures, framebuffer objects and vertex submission. The game picture is drawn into an
// 800 x 600 framebuffer object, stored top row first, and scaled once into the window when it
// is presented. Runs of sprite quads that share every state are gathered and submitted
// together; any state change submits what was gathered first, so the order of drawing is kept.
// Unlit sprites are drawn by three small shaders that do what the fixed function does.
//
// Two paths, chosen once at start-up: the plain one for every GPU (state caching, batching,
// blending off for batches opaque by construction, nothing else), and the software-rasterizer
// one (llvmpipe, softpipe, swrast, or forced with SANDMERE_GPU_PATH=plain|software), which adds
// the drawing shortcuts of gpu_shortcuts.cpp: they save a software rasterizer work without
// changing the picture beyond the rasterizer's own rounding. Each shortcut names the states
// under which it may fire; any other state turns it off. The rest of the game cannot tell
// which path runs.
#pragma once

#include <cstdint>

namespace platform::gpu {

// The sprite vertex: position, colour (ARGB word, bytes blue, green, red, alpha in memory)
// and one pair of texture coordinates; 24 bytes.
struct Vertex {
    float x, y, z;
    uint32_t argb;
    float u, v;
};
static_assert(sizeof(Vertex) == 24, "the sprite vertex is 24 bytes");

// Vertex layout bits of drawRaw.
constexpr uint32_t kLayoutPosition = 0x002;
constexpr uint32_t kLayoutNormal = 0x010;
constexpr uint32_t kLayoutPointSize = 0x020;
constexpr uint32_t kLayoutDiffuse = 0x040;
constexpr uint32_t kLayoutSpecular = 0x080;
constexpr uint32_t kLayoutTexture = 0x100;

// Primitive kinds.
constexpr int kPointList = 1;
constexpr int kLineList = 2;
constexpr int kLineStrip = 3;
constexpr int kTriangleList = 4;
constexpr int kTriangleStrip = 5;
constexpr int kTriangleFan = 6;

// Clear flags.
constexpr unsigned kClearColour = 1;
constexpr unsigned kClearDepth = 2;
constexpr unsigned kClearStencil = 4;

// Needs a current context. Creates the picture targets; false when the driver lacks
// framebuffer objects.
bool init(int pictureWidth, int pictureHeight);
enum class Path { kPlain, kSoftware };
Path path();
// The path the next init() takes whatever the driver and the environment say (tests);
// forcePath(nullptr) goes back to choosing.
void forcePath(const Path* which);
void shutdown();
bool ready();

// States (set only when they change).
void setDepthTest(bool on);
void setDepthWrite(bool on);
void setBlending(bool on);
// 0 alpha / inverse alpha, 1 colour / one, 2 one / zero, 3 alpha / one (highlights)
void setBlendFactors(int mode);
void setAlphaTest(bool on);
void setAlphaReference(int ref);  // 0..255, passes when alpha >= ref
void setCulling(bool on);         // culls counter-clockwise triangles as seen on the picture
void setLighting(bool on);
void setLinearFiltering(bool on);
// True when, in the states now set, a texel of alpha 0 leaves the target as it was (alpha
// blending without depth writes, or the alpha test against 1 or more), so a quad may leave out
// the part of its texture that holds only such texels.
bool clearTexelsChangeNothing();
// Drawing and clears limited to a rectangle of the target, in pixels from its top-left corner.
void setScissor(bool on, int x, int y, int width, int height);
// Row-vector matrices (16 floats, row-major), world x view x projection; the projection's
// depth range 0..1 is mapped onto OpenGL's.
void setTransforms(const float* world, const float* view, const float* projection);
// The light and material preset of the meshes.
void applyLightPreset();

void clear(unsigned flags, uint32_t argb, float depth, uint32_t stencil);

// Textures: RGBA8, top row first. levels is 1 or 2 (the second level is generated). Handles
// are the backend's own, 0 for none.
uint32_t createTexture(int width, int height, int levels, const uint8_t* rgba);
bool uploadTexture(uint32_t texture, int x, int y, int width, int height, const uint8_t* rgba);
bool readTexture(uint32_t texture, uint8_t* rgba);  // the whole top level
void deleteTexture(uint32_t texture);
void bindTexture(uint32_t texture);  // 0: no texture (vertex colours only)
// A texture to draw into: its framebuffer shares the picture's depth and stencil.
bool createRenderTarget(int width, int height, uint32_t& texture, uint32_t& framebuffer);
void deleteRenderTarget(uint32_t texture, uint32_t framebuffer);
void setRenderTarget(uint32_t framebuffer, int width, int height);  // 0: the picture

// Drawing.
void drawSprites(const Vertex* vertices, int count, int primitive);
void drawRaw(const void* vertices, int count, uint32_t layout, int primitive);
// Mesh buffers: vertices of position, normal and one pair of texture coordinates, and 16-bit
// indices, kept by the driver. 0 when there is no context or the driver has no buffer objects.
constexpr int kMeshVertexBytes = 32;
uint32_t createVertexBuffer(const void* vertices, int count);
uint32_t createIndexBuffer(const uint16_t* indices, int count);
void deleteBuffer(uint32_t buffer);
// A triangle list of count vertices from the buffers, through the index buffer when it is not 0.
void drawMesh(uint32_t vertexBuffer, uint32_t indexBuffer, int count);
void flush();   // submit what was gathered
void finish();  // and wait until it is drawn

// Frames. present() shows the picture in the window (when there is one), letterboxed into
// the given rectangle of the drawable, and makes it the presented picture. It returns whether
// the window needs swapping: a picture drawn exactly as the one the window shows (same
// drawing, same texels, same place) is not copied again unless `force` (the window was
// uncovered, say).
bool present(bool toWindow, int drawableWidth, int drawableHeight, int vx, int vy, int vw, int vh, bool force = false);
bool readPresentedPicture(uint8_t* rgba);  // width x height x 4, top row first
bool readPicture(uint8_t* rgba);           // the picture being drawn
bool readTarget(int width, int height, uint8_t* rgba);  // the current target, top row first

// The drawing shortcuts of the software path, each giving the picture the plain way of drawing
// gives but for the rasterizer's own rounding: quads whose texels land one to a pixel drawn
// without filtering, blending and the alpha test left out for batches inside a texture's
// opaque part, colour and depth clears done only when the target is next used, 2D drawing into
// framebuffers without depth, batches of quads given in runs that keep every quad whole (so
// that the rasterizer fills them as rectangles). Those of kSoftwarePathShortcuts are on by
// default on that path; tests and benchmarks turn them on and off, alone or together, to
// compare, and count what they did. Textures are also given their texels blue first there, the
// order a software rasterizer samples fastest. (Bits 1, 4 and 8 were shortcuts that did not pay
// for themselves; the others keep their values.)
enum Shortcut : uint32_t {
    kShortcutUnfiltered = 2,
    kShortcutOpaque = 16,
    kShortcutDeferredClear = 32,
    kShortcutColourOnly = 64,
    kShortcutRectRuns = 128,
    kAllShortcuts =
        kShortcutUnfiltered | kShortcutOpaque | kShortcutDeferredClear | kShortcutColourOnly | kShortcutRectRuns,
    // Those the software path takes: all of them, each having paid for itself when timed on
    // the board and the menus' typical frame (see the README's note on drawing).
    kSoftwarePathShortcuts = kAllShortcuts,
};
struct DrawStats {
    uint32_t unfilteredBatches = 0;
    uint32_t opaqueBatches = 0;  // batches drawn without blending inside an opaque part
    uint32_t clearsDeferred = 0;
    uint32_t colourOnlyDraws = 0;  // draws into a framebuffer without depth
    uint32_t presentsLeftOut = 0;  // pictures the window already showed
    uint32_t rectRuns = 0;         // batches of quads given in runs of whole quads
};
void setShortcuts(uint32_t which);  // Shortcut bits; the plain path has none
uint32_t shortcuts();               // those on
// Whether each shortcut may fire in the states now set (the finer checks of each draw aside).
bool shortcutAllowedNow(Shortcut which);
DrawStats& drawStats();

int pictureWidth();
int pictureHeight();
const char* rendererName();

}  // namespace platform::gpu
