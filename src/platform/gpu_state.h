// What the drawing backend keeps, shared by its files: the GL entry points, what it knows of
// each texture, the states, the gathered sprite vertices. Only the backend includes this.
#pragma once

#include <cstdint>

#include <GL/gl.h>
#include <GL/glext.h>

#include "platform/gpu.h"

namespace platform::gpu::internal {

// Gathered sprite vertices, as triangles.
constexpr int kBatchCapacity = 6 * 2048;

struct GlFunctions {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    PFNGLFRAMEBUFFERTEXTURE2DPROC framebufferTexture2D = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
    PFNGLBLITFRAMEBUFFERPROC blitFramebuffer = nullptr;
    PFNGLGENERATEMIPMAPPROC generateMipmap = nullptr;
    PFNGLGENSAMPLERSPROC genSamplers = nullptr;
    PFNGLDELETESAMPLERSPROC deleteSamplers = nullptr;
    PFNGLSAMPLERPARAMETERIPROC samplerParameteri = nullptr;
    PFNGLBINDSAMPLERPROC bindSampler = nullptr;
    PFNGLCREATESHADERPROC createShader = nullptr;
    PFNGLSHADERSOURCEPROC shaderSource = nullptr;
    PFNGLCOMPILESHADERPROC compileShader = nullptr;
    PFNGLGETSHADERIVPROC getShaderiv = nullptr;
    PFNGLDELETESHADERPROC deleteShader = nullptr;
    PFNGLCREATEPROGRAMPROC createProgram = nullptr;
    PFNGLATTACHSHADERPROC attachShader = nullptr;
    PFNGLLINKPROGRAMPROC linkProgram = nullptr;
    PFNGLGETPROGRAMIVPROC getProgramiv = nullptr;
    PFNGLDELETEPROGRAMPROC deleteProgram = nullptr;
    PFNGLUSEPROGRAMPROC useProgram = nullptr;
    // Buffer objects, for the meshes (optional).
    PFNGLGENBUFFERSPROC genBuffers = nullptr;
    PFNGLDELETEBUFFERSPROC deleteBuffers = nullptr;
    PFNGLBINDBUFFERPROC bindBuffer = nullptr;
    PFNGLBUFFERDATAPROC bufferData = nullptr;
};

// A texture of the backend: the GL objects and what is known of its texels. Handles given out
// are slot numbers + 1; a render target's framebuffer handle is its texture's.
struct TextureSlot {
    GLuint name = 0;
    // Render targets: the colour framebuffer, and on the software path its twin with the
    // shared depth and stencil buffer attached (on the plain path the two are one).
    GLuint framebuffer = 0;
    GLuint depthFramebuffer = 0;
    int width = 0;
    int height = 0;
    int levels = 1;
    // The top-left area whose texels are all opaque.
    int opaqueWidth = 0;
    int opaqueHeight = 0;
    uint32_t version = 0;  // counts the changes of its texels
};
using TextureInfo = TextureSlot;
// The game's cache holds 1023 textures; the two pictures and tests' own make up the rest.
constexpr int kTextureSlots = 1152;

// The states as last given to GL. Blending and the alpha test are left out where they cannot
// change the result (an opaque draw, or alpha / inverse alpha blending with the reference 1).
struct AppliedStates {
    bool blending = false;
    int blendMode = -1;
    bool alphaTest = false;
    int alphaRef = -1;
    int sampler = -1;  // 0 nearest, 1 linear, 2 linear between the two levels
};

// The states that shortcuts know of, as bits of one word: each shortcut names the ones under
// which it may fire, and any other (including states added later) turns it off.
enum Condition : uint32_t {
    kWithTexture = 1u << 0,
    kWithBlending = 1u << 1,
    kBlendAlpha = 1u << 2,       // alpha / inverse alpha
    kBlendColourOne = 1u << 3,   // colour / one
    kBlendOpaque = 1u << 4,      // one / zero
    kBlendAlphaOne = 1u << 5,    // alpha / one
    kWithAlphaTest = 1u << 6,
    kWithLinear = 1u << 7,
    kWithDepthTest = 1u << 8,
    kWithDepthWrite = 1u << 9,   // counted only while the depth test is on
    kWithCulling = 1u << 10,
    kWithLighting = 1u << 11,
    kWithPerspective = 1u << 12,
    kIntoTexture = 1u << 13,     // drawing into a render target rather than the picture
    kWithScissor = 1u << 14,
};

struct GpuState {
    bool up = false;
    GlFunctions fn;
    bool software = false;    // the software-rasterizer path, with its shortcuts
    bool bgraColours = true;  // vertex colours as blue, green, red, alpha bytes
    bool blueFirst = false;   // textures given their texels blue first (the software path)
    int width = 800;
    int height = 600;
    TextureSlot slots[kTextureSlots];
    uint32_t picture[2] = {0, 0};  // the two pictures' handles
    GLuint depthStencil = 0;
    // A depth or stencil clear given while only the colour framebuffer was bound: done on the
    // depth framebuffer of `pendingClearTarget` (whose size it covers) when the depth test is
    // next switched on.
    GLbitfield pendingClear = 0;
    uint32_t pendingClearTarget = 0;
    int pendingWidth = 0, pendingHeight = 0;
    float pendingDepth = 1.0f;
    GLint pendingStencil = 0;
    // A colour clear of the current target not done yet: the next drawing into the target, or
    // reading of it, does it first.
    bool colourClearWaiting = false;
    float colourClear[4] = {0, 0, 0, 0};
    int back = 0;  // the picture being drawn; the other one was presented last
    uint32_t target = 0;  // the render target's handle; 0: the picture
    int targetWidth = 800, targetHeight = 600;
    GLuint boundFramebuffer = 0;  // 0 when not known
    bool scissor = false;
    int scissorBox[4] = {0, 0, 0, 0};
    // The still screen: what the frame drawn so far comes to, and what the picture last shown
    // in the window came to; equal, the window is left as it is.
    uint64_t frameSignature = 0;
    bool frameKnown = true;  // false once the frame depends on more than its own drawing
    bool signing = false;     // only while frames go to a window
    bool pictureCleared = false;  // the picture was cleared whole in this frame
    uint64_t shownSignature = 0;
    bool shownKnown = false;
    int shownGeometry[6] = {0, 0, 0, 0, 0, 0};
    GLuint samplers[3] = {0, 0, 0};
    // The sprite shaders: texel x vertex colour, the texel alone (all vertices white), and the
    // vertex colour alone (no texture). They do what the fixed function does for unlit
    // sprites, with less work for each pixel. 0 when the driver has none.
    GLuint spriteProgram[3] = {0, 0, 0};
    GLuint currentProgram = 0;
    AppliedStates applied;

    bool depthTest = false;
    bool depthWrite = true;
    bool blending = false;
    int blendMode = 0;
    bool alphaTest = false;
    int alphaRef = 0;
    bool culling = false;
    bool lighting = false;
    bool linear = false;
    uint32_t texture = 0;  // the bound texture's handle
    bool lightPreset = false;
    float world[16];
    float view[16];
    float projection[16];

    Vertex batch[kBatchCapacity];
    int batchCount = 0;
    // What the gathered vertices cover: texture coordinates and the lowest vertex alpha.
    float uMin, uMax, vMin, vMax;
    uint32_t minAlpha;
    // True while every gathered quad puts texel centres on pixel centres, one texel to a
    // pixel: smooth filtering then gives the texels as they are, as no filtering does.
    bool texelExact;
    bool batchWhite;  // every gathered vertex is opaque white
    bool pairsOnly;   // every gathered primitive came as two triangles (a quad)
    // world x view x projection, row vectors; and whether it maps straight onto the target
    // (no perspective).
    float combined[16];
    bool affine;
    uint32_t shortcuts = kAllShortcuts;
    DrawStats stats;
};
extern GpuState* gGpu;

TextureSlot* textureInfo(uint32_t handle);  // null for 0 and unknown handles
// The states now in force, as Condition bits.
uint32_t conditions();
// True when the shortcut is on (the software path, and not turned off) and every state now
// in force is one it names as safe.
bool allowed(uint32_t shortcut, uint32_t safeStates);
// The sampler the batch draws with: 0 nearest, 1 bilinear on the first level, 2 both levels.
int batchSampler();
// True when every fragment of the gathered vertices comes out with alpha 255.
bool batchIsOpaque();
// Binds the current colour target, or its depth framebuffer where that is needed.
void bindCurrentTarget();
// The gathered vertices, drawn.
void drawBatch();
// Does the colour clear that waits, if one does.
void runWaitingColourClear();
// Adds what a draw or a clear gives to the frame's signature.
void sign(const void* bytes, size_t size);
void signStates();

// The drawing shortcuts (gpu_shortcuts.cpp).

// The states under which each shortcut may fire; the drawing code checks the finer conditions
// each states for itself.
constexpr uint32_t kCommonSafe = kWithTexture | kWithBlending | kBlendAlpha | kWithAlphaTest | kWithLinear;
constexpr uint32_t kUnfilteredSafe = kCommonSafe | kBlendColourOne | kBlendOpaque | kBlendAlphaOne | kWithDepthTest |
                                     kWithDepthWrite | kWithCulling | kIntoTexture;
constexpr uint32_t kOpaqueSafe = kCommonSafe | kWithDepthTest | kWithDepthWrite | kWithCulling | kWithPerspective |
                                 kIntoTexture;
constexpr uint32_t kDeferredClearSafe = kCommonSafe | kBlendColourOne | kBlendOpaque | kBlendAlphaOne |
                                        kWithDepthTest | kWithDepthWrite | kWithCulling | kWithLighting |
                                        kWithPerspective | kIntoTexture;
// Cutting a batch of quads into runs changes nothing in the states known here.
constexpr uint32_t kRectRunsSafe = kDeferredClearSafe;
// Quads to a run, as vertices.
constexpr int kRectRun = 6 * 48;
// Only while the depth test is off is the colour framebuffer alone bound.
constexpr uint32_t kColourOnlySafe = kDeferredClearSafe & ~(kWithDepthTest | kWithDepthWrite);

// True when the quad (a strip of four) covers whole pixels with one texel each, texel centres
// on pixel centres, the texture's rows and columns along the target's.
bool quadIsTexelExact(const Vertex* q);

}  // namespace platform::gpu::internal
