// What the drawing backend keeps, shared by its files: the GL entry points, what it knows of
// each texture, the states, the gathered sprite vertices. Only the backend includes this.
#pragma once

#include <cstdint>
#include <vector>

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

// What the backend knows of each texture: its size, its levels, and the top-left area whose
// texels are all opaque.
struct TextureInfo {
    int width = 0;
    int height = 0;
    int levels = 1;
    int opaqueWidth = 0;
    int opaqueHeight = 0;
    // What each block of 4 x 4 texels holds (kClearAlpha, kClearTexels), row by row; empty
    // when the contents are not known here (render targets) or no block is clear.
    std::vector<uint8_t> clearBlocks;
    // For each block, where its texels that are not clear lie: the low byte for kClearAlpha,
    // the high byte for kClearTexels, each as first and last column, first and last row
    // (two bits each).
    std::vector<uint16_t> inkBoxes;
    int blocksWide = 0;
    int blocksHigh = 0;
};

constexpr int kBlockSize = 4;
constexpr uint8_t kClearAlpha = 1;   // every texel of the block has alpha 0
constexpr uint8_t kClearTexels = 2;  // every texel of the block is 0 in all four channels

// The states as last given to GL. Blending and the alpha test are left out where they cannot
// change the result (an opaque draw, or alpha / inverse alpha blending with the reference 1).
struct AppliedStates {
    bool blending = false;
    int blendMode = -1;
    bool alphaTest = false;
    int alphaRef = -1;
    int sampler = -1;  // 0 nearest, 1 linear, 2 linear between the two levels
};

struct GpuState {
    bool up = false;
    GlFunctions fn;
    bool bgraColours = true;  // vertex colours as blue, green, red, alpha bytes
    int width = 800;
    int height = 600;
    GLuint pictureTexture[2] = {0, 0};
    GLuint pictureFramebuffer[2] = {0, 0};
    // Every colour framebuffer has a twin with the shared depth and stencil buffer attached.
    // The twin is bound only while the depth test is on: a software rasterizer draws much
    // faster into a target without depth, and 2D drawing never needs it.
    GLuint depthStencil = 0;
    std::vector<GLuint> depthTwin;  // by colour framebuffer name
    // A depth or stencil clear given while the twin was not bound: done on the twin of
    // `pendingClearTarget` (whose size it covers) when the depth test is next switched on.
    GLbitfield pendingClear = 0;
    GLuint pendingClearTarget = 0;
    int pendingWidth = 0, pendingHeight = 0;
    float pendingDepth = 1.0f;
    GLint pendingStencil = 0;
    // A colour clear of the current target not done yet: the next drawing into the target, or
    // reading of it, does it first; a copy that covers the whole target makes it needless.
    bool colourClearWaiting = false;
    float colourClear[4] = {0, 0, 0, 0};
    int back = 0;  // the picture being drawn; the other one was presented last
    GLuint target = 0;  // 0: the picture
    int targetWidth = 800, targetHeight = 600;
    GLuint samplers[3] = {0, 0, 0};
    GLuint copySource = 0;  // a framebuffer for reading a texture that is copied
    // The sprite shaders: texel x vertex colour, the texel alone (all vertices white), and the
    // vertex colour alone (no texture). They do what the fixed function does for unlit
    // sprites, with less work for each pixel. 0 when the driver has none.
    GLuint spriteProgram[3] = {0, 0, 0};
    GLuint currentProgram = 0;
    std::vector<TextureInfo> textures;  // by texture name
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
    GLuint texture = 0;
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
    // True while no gathered quad shrinks its texture on the target: the second level then
    // takes no part, and filtering between levels gives what filtering the first one gives.
    bool notMinified;
    bool batchWhite;  // every gathered vertex is opaque white
    // world x view x projection, row vectors; and whether it maps straight onto the target
    // (no perspective).
    float combined[16];
    bool affine;
    uint32_t shortcuts = kAllShortcuts;
    DrawStats stats;
};
extern GpuState* gGpu;

TextureInfo* textureInfo(GLuint name);  // null for 0 and unknown names
// True when every fragment of the gathered vertices comes out with alpha 255.
// The sampler the batch draws with: 0 nearest, 1 bilinear on the first level, 2 both levels.
int batchSampler();
bool batchIsOpaque();
// Binds the current colour target, or its depth twin while the depth test is on.
void bindCurrentTarget();
// The gathered vertices, drawn.
void drawBatch();
// Does the colour clear that waits, if one does.
void runWaitingColourClear();

// The drawing shortcuts (gpu_shortcuts.cpp).

// Finds the clear blocks of a region of the texture that was just given its texels (pitch in
// texels), and where the others hold their texels. Blocks only partly inside the region are
// counted as not clear, texels everywhere.
void measureClearBlocks(TextureInfo& info, const uint8_t* rgba, int pitch, int x, int y, int w, int h);
// True when the quad (a strip of four) covers whole pixels with one texel each, texel centres
// on pixel centres, the texture's rows and columns along the target's.
bool quadIsTexelExact(const Vertex* q);
// True when the quad (a strip of four, a parallelogram) shows no more than one texel to a
// pixel along either of its sides, with room to spare for the way a rasterizer estimates it.
bool quadIsNotMinified(const Vertex* q);
enum class Trim { kWhole, kCut, kNothingLeft };
// A quad (a strip of four whose texture rectangle lies along its sides) is cut down to the
// part of its texture rectangle that holds texels that change the target, with a margin for
// filtering, into `out`. The texture coordinates of every pixel that is left stay as they were.
Trim trimQuad(const Vertex* q, Vertex* out);
// Draws a batch of one opaque, white, unfiltered quad lying along the target's axes as copies
// of the texture's texels. False, with nothing done, when the batch is not such.
bool copyBatch();

}  // namespace platform::gpu::internal
