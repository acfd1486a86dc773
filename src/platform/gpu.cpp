#include "platform/gpu.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/gl_context.h"
#include "platform/gpu_state.h"

namespace platform::gpu {

using namespace internal;

namespace {

const float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
// Turns the picture upside down (so that its top row is stored first, as in every texture)
// and maps the depth range 0..1 onto -1..1 (z' = 2z - w). Column-major.
const float kClipFix[16] = {1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 2, 0, 0, 0, -1, 1};

template <typename T>
bool load(T& pointer, const char* name) {
    pointer = reinterpret_cast<T>(glProcAddress(name));
    return pointer != nullptr;
}

bool loadFunctions(GlFunctions& fn) {
    bool ok = load(fn.genFramebuffers, "glGenFramebuffers") && load(fn.deleteFramebuffers, "glDeleteFramebuffers") &&
              load(fn.bindFramebuffer, "glBindFramebuffer") &&
              load(fn.framebufferTexture2D, "glFramebufferTexture2D") &&
              load(fn.framebufferRenderbuffer, "glFramebufferRenderbuffer") &&
              load(fn.checkFramebufferStatus, "glCheckFramebufferStatus") &&
              load(fn.genRenderbuffers, "glGenRenderbuffers") &&
              load(fn.deleteRenderbuffers, "glDeleteRenderbuffers") &&
              load(fn.bindRenderbuffer, "glBindRenderbuffer") &&
              load(fn.renderbufferStorage, "glRenderbufferStorage") &&
              load(fn.blitFramebuffer, "glBlitFramebuffer") && load(fn.generateMipmap, "glGenerateMipmap");
    // Sampler objects are optional: without them the filters go on each texture as it is bound.
    if (!(load(fn.genSamplers, "glGenSamplers") && load(fn.deleteSamplers, "glDeleteSamplers") &&
          load(fn.samplerParameteri, "glSamplerParameteri") && load(fn.bindSampler, "glBindSampler"))) {
        fn.genSamplers = nullptr;
        fn.bindSampler = nullptr;
    }
    // Shaders are optional too: without them sprites go through the fixed function.
    if (!(load(fn.createShader, "glCreateShader") && load(fn.shaderSource, "glShaderSource") &&
          load(fn.compileShader, "glCompileShader") && load(fn.getShaderiv, "glGetShaderiv") &&
          load(fn.deleteShader, "glDeleteShader") && load(fn.createProgram, "glCreateProgram") &&
          load(fn.attachShader, "glAttachShader") && load(fn.linkProgram, "glLinkProgram") &&
          load(fn.getProgramiv, "glGetProgramiv") && load(fn.deleteProgram, "glDeleteProgram") &&
          load(fn.useProgram, "glUseProgram")))
        fn.useProgram = nullptr;
    if (!(load(fn.genBuffers, "glGenBuffers") && load(fn.deleteBuffers, "glDeleteBuffers") &&
          load(fn.bindBuffer, "glBindBuffer") && load(fn.bufferData, "glBufferData")))
        fn.bindBuffer = nullptr;
    return ok;
}

bool hasGlExtension(const char* name) {
    const char* list = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (!list) return false;
    size_t n = std::strlen(name);
    for (const char* p = list; (p = std::strstr(p, name)) != nullptr; p += n) {
        if ((p == list || p[-1] == ' ') && (p[n] == ' ' || p[n] == '\0')) return true;
    }
    return false;
}


void resetBatchBounds() {
    GpuState& g = *gGpu;
    g.uMin = g.vMin = 1e30f;
    g.uMax = g.vMax = -1e30f;
    g.minAlpha = 255;
    g.texelExact = true;
    g.batchWhite = true;
    g.pairsOnly = true;
}

// The top-left area of a picture whose texels are all opaque.
void measureOpaqueArea(TextureInfo& info, const uint8_t* rgba) {
    info.opaqueWidth = info.opaqueHeight = 0;
    if (!rgba) return;
    int w = info.width, h = info.height;
    int ow = 0;
    while (ow < w && rgba[static_cast<size_t>(ow) * 4 + 3] == 255) ++ow;
    if (ow == 0) return;
    int oh = 0;
    for (; oh < h; ++oh) {
        const uint8_t* row = rgba + static_cast<size_t>(oh) * w * 4;
        bool opaque = true;
        for (int x = 0; x < ow && opaque; ++x) opaque = row[x * 4 + 3] == 255;
        if (!opaque) break;
    }
    info.opaqueWidth = ow;
    info.opaqueHeight = oh;
}


void applyTextureFilter(int sampler) {
    GpuState& g = *gGpu;
    if (g.fn.bindSampler) {
        if (g.applied.sampler == sampler) return;
        g.fn.bindSampler(0, g.samplers[sampler]);
        g.applied.sampler = sampler;
        return;
    }
    if (!g.texture) return;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, sampler ? GL_LINEAR : GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                    sampler == 2 ? GL_LINEAR_MIPMAP_LINEAR : (sampler ? GL_LINEAR : GL_NEAREST));
}

// The states that the next draw needs, as they take effect. `opaque`: every fragment of the
// draw comes out with alpha 255, so blending alpha over inverse alpha and the alpha test
// change nothing.
void applyDrawStates(bool opaque) {
    GpuState& g = *gGpu;
    AppliedStates& a = g.applied;
    bool blend = g.blending && g.blendMode != 2 && !(g.blendMode == 0 && opaque);
    if (blend != a.blending) {
        if (blend) glEnable(GL_BLEND);
        else glDisable(GL_BLEND);
        a.blending = blend;
    }
    if (blend && g.blendMode != a.blendMode) {
        switch (g.blendMode) {
            case 0: glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA); break;
            case 1: glBlendFunc(GL_SRC_COLOR, GL_ONE); break;
            case 3: glBlendFunc(GL_SRC_ALPHA, GL_ONE); break;
            default: glBlendFunc(GL_ONE, GL_ZERO); break;
        }
        a.blendMode = g.blendMode;
    }
    bool alpha = g.alphaTest && !opaque;
    // Under alpha / inverse alpha blending a fragment of alpha 0 leaves the target as it was,
    // so the test against 1 only matters where depth is written.
    if (alpha && g.blending && g.blendMode == 0 && g.alphaRef <= 1 && !(g.depthTest && g.depthWrite) &&
        allowed(kShortcutOpaque, kOpaqueSafe))
        alpha = false;
    if (alpha != a.alphaTest) {
        if (alpha) glEnable(GL_ALPHA_TEST);
        else glDisable(GL_ALPHA_TEST);
        a.alphaTest = alpha;
    }
    if (alpha && g.alphaRef != a.alphaRef) {
        glAlphaFunc(GL_GEQUAL, static_cast<float>(g.alphaRef) / 255.0f);
        a.alphaRef = g.alphaRef;
    }
    int sampler = batchSampler();
    if (g.linear && sampler == 0) ++g.stats.unfilteredBatches;
    applyTextureFilter(sampler);
}

uint32_t currentTargetHandle() {
    GpuState& g = *gGpu;
    return g.target ? g.target : g.picture[g.back];
}

// Runs the deferred depth and stencil clear on the depth framebuffer it was meant for.
void runPendingClear() {
    GpuState& g = *gGpu;
    if (!g.pendingClear) return;
    const TextureSlot* slot = textureInfo(g.pendingClearTarget);
    if (slot && slot->depthFramebuffer) {
        g.fn.bindFramebuffer(GL_FRAMEBUFFER, slot->depthFramebuffer);
        g.boundFramebuffer = slot->depthFramebuffer;
        glClearDepth(g.pendingDepth);
        glClearStencil(g.pendingStencil);
        if (!g.depthWrite) glDepthMask(GL_TRUE);
        glClear(g.pendingClear);
        if (!g.depthWrite) glDepthMask(GL_FALSE);
    }
    g.pendingClear = 0;
}

// The texture's framebuffer, with the depth and stencil buffer attached; on the software path
// also one with the colour alone, which a software rasterizer fills much faster and which 2D
// drawing is given.
bool makeFramebuffers(TextureSlot& slot) {
    GpuState& g = *gGpu;
    int count = g.software ? 2 : 1;
    GLuint fb[2] = {0, 0};
    g.fn.genFramebuffers(count, fb);
    bool complete = true;
    for (int i = 0; i < count; ++i) {
        g.fn.bindFramebuffer(GL_FRAMEBUFFER, fb[i]);
        g.fn.framebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, slot.name, 0);
        if (i == count - 1)
            g.fn.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, g.depthStencil);
        complete = complete && g.fn.checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    }
    g.boundFramebuffer = 0;
    if (!complete) {
        g.fn.deleteFramebuffers(count, fb);
        return false;
    }
    slot.framebuffer = fb[0];
    slot.depthFramebuffer = fb[count - 1];
    return true;
}

void deleteFramebuffers(uint32_t handle) {
    GpuState& g = *gGpu;
    TextureSlot* slot = textureInfo(handle);
    if (!slot || !slot->framebuffer) return;
    if (g.pendingClearTarget == handle) runPendingClear();
    GLuint fb[2] = {slot->framebuffer, slot->depthFramebuffer};
    g.fn.deleteFramebuffers(fb[1] != fb[0] ? 2 : 1, fb);
    slot->framebuffer = slot->depthFramebuffer = 0;
    g.boundFramebuffer = 0;
}

void setSpriteArrays(const Vertex* base) {
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    const auto* bytes = reinterpret_cast<const uint8_t*>(base);
    glVertexPointer(3, GL_FLOAT, sizeof(Vertex), bytes);
    glColorPointer(gGpu->bgraColours ? GL_BGRA : 4, GL_UNSIGNED_BYTE, sizeof(Vertex), bytes + 12);
    glTexCoordPointer(2, GL_FLOAT, sizeof(Vertex), bytes + 16);
}

// Vertex colours take the place of the material's diffuse colour under lighting.
void colourMaterial(bool hasColour) {
    if (gGpu->lighting && hasColour) {
        glColorMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE);
        glEnable(GL_COLOR_MATERIAL);
    } else {
        glDisable(GL_COLOR_MATERIAL);
    }
}

GLenum glPrimitive(int primitive) {
    switch (primitive) {
        case kPointList: return GL_POINTS;
        case kLineList: return GL_LINES;
        case kLineStrip: return GL_LINE_STRIP;
        case kTriangleStrip: return GL_TRIANGLE_STRIP;
        case kTriangleFan: return GL_TRIANGLE_FAN;
        default: return GL_TRIANGLES;
    }
}

void swizzleToRgba(Vertex* v, int count) {
    for (int i = 0; i < count; ++i) {
        uint32_t c = v[i].argb;
        uint8_t bytes[4] = {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c),
                            static_cast<uint8_t>(c >> 24)};
        std::memcpy(&v[i].argb, bytes, 4);
    }
}

void multiply(const float* a, const float* b, float* out) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            out[r * 4 + c] = a[r * 4] * b[c] + a[r * 4 + 1] * b[4 + c] + a[r * 4 + 2] * b[8 + c] + a[r * 4 + 3] * b[12 + c];
}

void loadMatrices() {
    GpuState& g = *gGpu;
    float worldView[16];
    multiply(g.world, g.view, worldView);
    multiply(worldView, g.projection, g.combined);
    g.affine = g.combined[3] == 0.0f && g.combined[7] == 0.0f && g.combined[11] == 0.0f && g.combined[15] == 1.0f;
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(kClipFix);
    glMultMatrixf(g.projection);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(g.view);
    // The light lives in world space: its direction is given under the view alone.
    if (g.lightPreset) {
        const GLfloat towardsLight[4] = {-3.0f, -3.0f, 10.0f, 0.0f};
        glLightfv(GL_LIGHT0, GL_POSITION, towardsLight);
    }
    glMultMatrixf(g.world);
}

void applyAllStates() {
    GpuState& g = *gGpu;
    if (g.depthTest) glEnable(GL_DEPTH_TEST);
    else glDisable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(g.depthWrite ? GL_TRUE : GL_FALSE);
    // Nothing is cut away at the near and far planes: the 2D drawing places the backdrops'
    // objects and the particles at depth 0, in front of the 2D projection's near plane.
    glEnable(GL_DEPTH_CLAMP);
    glDisable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GEQUAL, 0.0f);
    g.applied = AppliedStates{false, 0, false, 0, -1};
    glFrontFace(GL_CCW);
    glCullFace(GL_BACK);
    if (g.culling) glEnable(GL_CULL_FACE);
    else glDisable(GL_CULL_FACE);
    if (g.lighting) glEnable(GL_LIGHTING);
    else glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glShadeModel(GL_SMOOTH);
    glDisable(GL_DITHER);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    applyTextureFilter(0);
    loadMatrices();
}
GLuint compileShader(GLenum kind, const char* source) {
    const GlFunctions& fn = gGpu->fn;
    GLuint shader = fn.createShader(kind);
    fn.shaderSource(shader, 1, &source, nullptr);
    fn.compileShader(shader);
    GLint ok = GL_FALSE;
    fn.getShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok != GL_TRUE) {
        fn.deleteShader(shader);
        return 0;
    }
    return shader;
}

GLuint linkProgram(const char* vertexSource, const char* fragmentSource) {
    const GlFunctions& fn = gGpu->fn;
    GLuint vs = compileShader(GL_VERTEX_SHADER, vertexSource);
    GLuint fs = compileShader(GL_FRAGMENT_SHADER, fragmentSource);
    GLuint program = 0;
    if (vs && fs) {
        program = fn.createProgram();
        fn.attachShader(program, vs);
        fn.attachShader(program, fs);
        fn.linkProgram(program);
        GLint ok = GL_FALSE;
        fn.getProgramiv(program, GL_LINK_STATUS, &ok);
        if (ok != GL_TRUE) {
            fn.deleteProgram(program);
            program = 0;
        }
    }
    if (vs) fn.deleteShader(vs);
    if (fs) fn.deleteShader(fs);
    return program;
}

// Textures and targets are stored blue first (GL_BGRA): a software rasterizer samples and
// blends that order on its fastest paths, and it is what windows show. The game's pixels come
// red first.
void blueFirstRows(const uint8_t* rgba, uint8_t* out, size_t bytes) {
    for (size_t i = 0; i < bytes; i += 4) {
        out[i] = rgba[i + 2];
        out[i + 1] = rgba[i + 1];
        out[i + 2] = rgba[i];
        out[i + 3] = rgba[i + 3];
    }
}

// Fills a rectangle of the bound texture's first level from red-first pixels (null: zeros).
// Pixels that need turning blue first, and zeros, pass through one small buffer a band of rows
// at a time, so that an upload never holds a second copy of a whole picture beside the
// driver's.
void writeTexels(int x, int y, int width, int height, const uint8_t* rgba) {
    const GpuState& g = *gGpu;
    const GLenum format = g.blueFirst ? GL_BGRA : GL_RGBA;
    if (rgba && !g.blueFirst) {
        glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        return;
    }
    constexpr size_t kBandBytes = 128 * 1024;
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    const int bandRows = static_cast<int>(std::max<size_t>(1, kBandBytes / rowBytes));
    std::vector<uint8_t> band(rowBytes * static_cast<size_t>(std::min(bandRows, height)), 0);
    for (int row = 0; row < height; row += bandRows) {
        const int rows = std::min(bandRows, height - row);
        if (rgba) blueFirstRows(rgba + rowBytes * static_cast<size_t>(row), band.data(), rowBytes * rows);
        glTexSubImage2D(GL_TEXTURE_2D, 0, x, y + row, width, rows, format, GL_UNSIGNED_BYTE, band.data());
    }
}

// The sprite shaders; without all three, none.
void makeSpritePrograms() {
    GpuState& g = *gGpu;
    if (!g.fn.useProgram) return;
    // ftransform() places vertices exactly where the fixed function does.
    const char* vertex =
        "#version 120\n"
        "varying vec2 uv;\n"
        "void main() {\n"
        "    gl_Position = ftransform();\n"
        "    uv = gl_MultiTexCoord0.xy;\n"
        "    gl_FrontColor = gl_Color;\n"
        "}\n";
    const char* fragment[3] = {
        "#version 120\nuniform sampler2D picture;\nvarying vec2 uv;\n"
        "void main() { gl_FragColor = texture2D(picture, uv) * gl_Color; }\n",
        "#version 120\nuniform sampler2D picture;\nvarying vec2 uv;\n"
        "void main() { gl_FragColor = texture2D(picture, uv); }\n",
        "#version 120\nvoid main() { gl_FragColor = gl_Color; }\n"};
    for (int i = 0; i < 3; ++i) g.spriteProgram[i] = linkProgram(vertex, fragment[i]);
    if (!g.spriteProgram[0] || !g.spriteProgram[1] || !g.spriteProgram[2]) {
        for (GLuint& p : g.spriteProgram) {
            if (p) g.fn.deleteProgram(p);
            p = 0;
        }
    }
}

void useProgram(GLuint program) {
    GpuState& g = *gGpu;
    if (g.currentProgram == program || !g.fn.useProgram) return;
    g.fn.useProgram(program);
    g.currentProgram = program;
}

}  // namespace

namespace internal {

GpuState* gGpu = nullptr;

TextureSlot* textureInfo(uint32_t handle) {
    if (!gGpu || handle == 0 || handle > static_cast<uint32_t>(kTextureSlots)) return nullptr;
    TextureSlot& slot = gGpu->slots[handle - 1];
    return slot.name ? &slot : nullptr;
}

uint32_t conditions() {
    const GpuState& g = *gGpu;
    uint32_t c = 0;
    if (g.texture) c |= kWithTexture;
    if (g.blending) {
        c |= kWithBlending;
        static const uint32_t kModes[4] = {kBlendAlpha, kBlendColourOne, kBlendOpaque, kBlendAlphaOne};
        c |= kModes[g.blendMode & 3];
    }
    if (g.alphaTest) c |= kWithAlphaTest;
    if (g.linear) c |= kWithLinear;
    if (g.depthTest) c |= kWithDepthTest | (g.depthWrite ? kWithDepthWrite : 0u);
    if (g.culling) c |= kWithCulling;
    if (g.lighting) c |= kWithLighting;
    if (!g.affine) c |= kWithPerspective;
    if (g.target) c |= kIntoTexture;
    if (g.scissor) c |= kWithScissor;
    return c;
}

bool allowed(uint32_t shortcut, uint32_t safeStates) {
    const GpuState& g = *gGpu;
    return (g.shortcuts & shortcut) != 0 && (conditions() & ~safeStates) == 0;
}

int batchSampler() {
    GpuState& g = *gGpu;
    if (!g.linear) return 0;
    if (g.texelExact && g.batchCount > 0 && allowed(kShortcutUnfiltered, kUnfilteredSafe)) return 0;
    const TextureInfo* info = textureInfo(g.texture);
    return info && info->levels > 1 ? 2 : 1;
}

bool batchIsOpaque() {
    GpuState& g = *gGpu;
    if (g.minAlpha < 255) return false;
    if (!g.texture) return true;
    const TextureInfo* info = textureInfo(g.texture);
    if (!info || info->opaqueWidth == 0 || info->opaqueHeight == 0) return false;
    // Opaque by construction: every texel of the first level, and so of the second, is.
    if (info->opaqueWidth == info->width && info->opaqueHeight == info->height) return true;
    if (!allowed(kShortcutOpaque, kOpaqueSafe)) return false;
    // Only part of the texture is opaque: every texel the filter reads must lie inside it. On
    // the first level that is half a texel; a texel of the second level is made of 2 x 2 of
    // the first (3 x 3 where a side is odd), so there the coordinates stay 3 texels inside
    // (4 where a side is not a power of two).
    float margin = 0.5f;
    if (batchSampler() == 2) {
        auto powerOfTwo = [](int n) { return (n & (n - 1)) == 0; };
        margin = powerOfTwo(info->width) && powerOfTwo(info->height) ? 3.0f : 4.0f;
    }
    float x0 = g.uMin * static_cast<float>(info->width), x1 = g.uMax * static_cast<float>(info->width);
    float y0 = g.vMin * static_cast<float>(info->height), y1 = g.vMax * static_cast<float>(info->height);
    bool inside = x0 >= margin && y0 >= margin && x1 <= static_cast<float>(info->opaqueWidth) - margin &&
                  y1 <= static_cast<float>(info->opaqueHeight) - margin;
    if (inside) ++g.stats.opaqueBatches;
    return inside;
}

void bindCurrentTarget() {
    GpuState& g = *gGpu;
    const TextureSlot* slot = textureInfo(currentTargetHandle());
    if (!slot) return;
    GLuint fb = slot->framebuffer;
    bool colourOnly = slot->depthFramebuffer != slot->framebuffer && !g.depthTest &&
                      allowed(kShortcutColourOnly, kColourOnlySafe);
    if (!colourOnly) {
        runPendingClear();
        fb = slot->depthFramebuffer;
    }
    if (fb != g.boundFramebuffer) {
        g.fn.bindFramebuffer(GL_FRAMEBUFFER, fb);
        g.boundFramebuffer = fb;
    }
}

void runWaitingColourClear() {
    GpuState& g = *gGpu;
    if (!g.colourClearWaiting) return;
    g.colourClearWaiting = false;
    glClearColor(g.colourClear[0], g.colourClear[1], g.colourClear[2], g.colourClear[3]);
    glClear(GL_COLOR_BUFFER_BIT);
}

namespace {
// FNV-1a over 64-bit words: cheap enough to run over every vertex of a frame.
uint64_t mixWords(uint64_t h, const void* bytes, size_t size) {
    const auto* p = static_cast<const uint8_t*>(bytes);
    for (; size >= 8; size -= 8, p += 8) {
        uint64_t w;
        std::memcpy(&w, p, 8);
        h = (h ^ w) * 0x100000001B3ull;
    }
    for (; size > 0; --size, ++p) h = (h ^ *p) * 0x100000001B3ull;
    return h;
}
}  // namespace

void sign(const void* bytes, size_t size) {
    GpuState& g = *gGpu;
    if (g.signing) g.frameSignature = mixWords(g.frameSignature, bytes, size);
}

// What the next draw depends on beyond its vertices: the states, the matrices, the texture and
// its texels, and the target. Drawing into a render target changes its texels; drawing into the
// picture before it was cleared whole this frame makes the frame depend on the one before.
void signStates() {
    GpuState& g = *gGpu;
    if (TextureSlot* into = textureInfo(g.target)) ++into->version;
    else if (!g.pictureCleared) g.frameKnown = false;
    if (!g.signing) return;
    const TextureSlot* bound = textureInfo(g.texture);
    const int32_t states[] = {g.blending, g.blendMode, g.alphaTest, g.alphaRef, g.linear, g.depthTest, g.depthWrite,
                              g.culling, g.lighting, g.scissor, g.scissorBox[0], g.scissorBox[1], g.scissorBox[2],
                              g.scissorBox[3], static_cast<int32_t>(g.texture),
                              static_cast<int32_t>(bound ? bound->version : 0u), static_cast<int32_t>(g.target)};
    sign(states, sizeof states);
    sign(g.combined, sizeof g.combined);
}

void drawBatch() {
    GpuState& g = *gGpu;
    bindCurrentTarget();
    runWaitingColourClear();
    if (g.boundFramebuffer != textureInfo(currentTargetHandle())->depthFramebuffer) ++g.stats.colourOnlyDraws;
    if (g.spriteProgram[0] && !g.lighting)
        useProgram(g.spriteProgram[!g.texture ? 2 : (g.batchWhite ? 1 : 0)]);
    else
        useProgram(0);
    applyDrawStates(batchIsOpaque());
    setSpriteArrays(g.batch);
    colourMaterial(true);
    // A software rasterizer fills a quad lying along its axes as a rectangle, far faster than
    // as two triangles, but only when it finds the quad's two triangles side by side in the
    // run of vertices it is given, and it cuts long runs into pieces of its own (about 390
    // vertices) with no regard for quads. Runs of 48 quads keep every quad whole.
    if (g.pairsOnly && g.batchCount > kRectRun && allowed(kShortcutRectRuns, kRectRunsSafe)) {
        for (int first = 0; first < g.batchCount; first += kRectRun)
            glDrawArrays(GL_TRIANGLES, first, std::min(kRectRun, g.batchCount - first));
        ++g.stats.rectRuns;
    } else {
        glDrawArrays(GL_TRIANGLES, 0, g.batchCount);
    }
}

}  // namespace internal

namespace {
const Path* gForcedPath = nullptr;
Path gForcedValue = Path::kPlain;

// The software rasterizers, by the names their drivers give.
bool softwareRenderer() {
    if (gForcedPath) return *gForcedPath == Path::kSoftware;
    if (const char* chosen = std::getenv("SANDMERE_GPU_PATH")) {
        if (std::strcmp(chosen, "plain") == 0) return false;
        if (std::strcmp(chosen, "software") == 0) return true;
    }
    const char* name = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    if (!name) return false;
    for (const char* rasterizer : {"llvmpipe", "softpipe", "swrast"})
        if (std::strstr(name, rasterizer)) return true;
    return false;
}

uint32_t newSlot() {
    for (int i = 0; i < kTextureSlots; ++i)
        if (gGpu->slots[i].name == 0) return static_cast<uint32_t>(i + 1);
    return 0;
}
}  // namespace

Path path() { return gGpu && gGpu->software ? Path::kSoftware : Path::kPlain; }

void forcePath(const Path* which) {
    if (which) gForcedValue = *which;
    gForcedPath = which ? &gForcedValue : nullptr;
}

bool init(int pictureWidth, int pictureHeight) {
    if (gGpu) shutdown();
    if (!glContextReady()) return false;
    gGpu = new GpuState();
    GpuState& g = *gGpu;
    if (!loadFunctions(g.fn)) {
        delete gGpu;
        gGpu = nullptr;
        return false;
    }
    g.software = softwareRenderer();
    g.shortcuts = g.software ? uint32_t{kSoftwarePathShortcuts} : 0u;
    // SANDMERE_GPU_SHORTCUTS=<bits> chooses them otherwise, to time the game with them.
    if (const char* which = std::getenv("SANDMERE_GPU_SHORTCUTS"); which && g.software)
        g.shortcuts = static_cast<uint32_t>(std::strtoul(which, nullptr, 0)) & kAllShortcuts;
    g.blueFirst = g.software;
    g.bgraColours = hasGlExtension("GL_ARB_vertex_array_bgra") || hasGlExtension("GL_EXT_vertex_array_bgra");
    g.width = pictureWidth;
    g.height = pictureHeight;
    std::memcpy(g.world, kIdentity, sizeof kIdentity);
    std::memcpy(g.view, kIdentity, sizeof kIdentity);
    std::memcpy(g.projection, kIdentity, sizeof kIdentity);
    g.affine = true;

    g.fn.genRenderbuffers(1, &g.depthStencil);
    g.fn.bindRenderbuffer(GL_RENDERBUFFER, g.depthStencil);
    g.fn.renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, pictureWidth, pictureHeight);
    bool complete = true;
    for (int i = 0; i < 2; ++i) {
        g.picture[i] = createTexture(pictureWidth, pictureHeight, 1, nullptr);
        complete = complete && g.picture[i] && makeFramebuffers(*textureInfo(g.picture[i]));
    }
    if (!complete) {
        shutdown();
        return false;
    }
    if (g.fn.genSamplers) {
        g.fn.genSamplers(3, g.samplers);
        for (int i = 0; i < 3; ++i) {
            g.fn.samplerParameteri(g.samplers[i], GL_TEXTURE_WRAP_S, GL_REPEAT);
            g.fn.samplerParameteri(g.samplers[i], GL_TEXTURE_WRAP_T, GL_REPEAT);
        }
        g.fn.samplerParameteri(g.samplers[0], GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        g.fn.samplerParameteri(g.samplers[0], GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        g.fn.samplerParameteri(g.samplers[1], GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        g.fn.samplerParameteri(g.samplers[1], GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        g.fn.samplerParameteri(g.samplers[2], GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        g.fn.samplerParameteri(g.samplers[2], GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    }
    makeSpritePrograms();
    resetBatchBounds();
    g.up = true;
    g.back = 0;
    g.target = 0;
    g.targetWidth = pictureWidth;
    g.targetHeight = pictureHeight;
    bindCurrentTarget();
    glViewport(0, 0, pictureWidth, pictureHeight);
    applyAllStates();
    return true;
}

void shutdown() {
    if (!gGpu) return;
    GpuState& g = *gGpu;
    if (glContextReady()) {
        if (g.fn.bindFramebuffer) g.fn.bindFramebuffer(GL_FRAMEBUFFER, 0);
        for (uint32_t handle : g.picture) {
            if (!textureInfo(handle)) continue;
            deleteFramebuffers(handle);
            glDeleteTextures(1, &textureInfo(handle)->name);
        }
        if (g.depthStencil) g.fn.deleteRenderbuffers(1, &g.depthStencil);
        if (g.samplers[0] && g.fn.deleteSamplers) g.fn.deleteSamplers(3, g.samplers);
        if (g.fn.useProgram) g.fn.useProgram(0);
        for (GLuint p : g.spriteProgram)
            if (p) g.fn.deleteProgram(p);
    }
    delete gGpu;
    gGpu = nullptr;
}

bool ready() { return gGpu && gGpu->up; }

void setShortcuts(uint32_t which) {
    if (!ready()) return;
    if (!gGpu->software) which = 0;
    if (gGpu->shortcuts == which) return;
    flush();
    gGpu->shortcuts = which;
    bindCurrentTarget();
}

uint32_t shortcuts() { return ready() ? gGpu->shortcuts : 0u; }

bool shortcutAllowedNow(Shortcut which) {
    if (!ready()) return false;
    switch (which) {
        case kShortcutUnfiltered: return allowed(which, kUnfilteredSafe);
        case kShortcutOpaque: return allowed(which, kOpaqueSafe);
        case kShortcutDeferredClear: return allowed(which, kDeferredClearSafe);
        case kShortcutColourOnly: return allowed(which, kColourOnlySafe);
        case kShortcutRectRuns: return allowed(which, kRectRunsSafe);
        default: return false;
    }
}

DrawStats& drawStats() {
    static DrawStats none;
    return ready() ? gGpu->stats : none;
}

void flush() {
    if (!ready()) return;
    GpuState& g = *gGpu;
    if (g.batchCount == 0) return;
    if (!g.bgraColours) swizzleToRgba(g.batch, g.batchCount);
    bindCurrentTarget();
    signStates();
    sign(g.batch, sizeof(Vertex) * static_cast<size_t>(g.batchCount));
    drawBatch();
    g.batchCount = 0;
    resetBatchBounds();
}

void finish() {
    if (!ready()) return;
    flush();
    glFinish();
}

void setDepthTest(bool on) {
    if (!ready() || gGpu->depthTest == on) return;
    flush();
    gGpu->depthTest = on;
    if (on) glEnable(GL_DEPTH_TEST);
    else glDisable(GL_DEPTH_TEST);
    bindCurrentTarget();
}

void setDepthWrite(bool on) {
    if (!ready() || gGpu->depthWrite == on) return;
    flush();
    gGpu->depthWrite = on;
    glDepthMask(on ? GL_TRUE : GL_FALSE);
}

void setBlending(bool on) {
    if (!ready() || gGpu->blending == on) return;
    flush();
    gGpu->blending = on;
}

void setBlendFactors(int mode) {
    if (!ready() || mode < 0 || mode > 3 || gGpu->blendMode == mode) return;
    flush();
    gGpu->blendMode = mode;
}

void setAlphaTest(bool on) {
    if (!ready() || gGpu->alphaTest == on) return;
    flush();
    gGpu->alphaTest = on;
}

void setAlphaReference(int ref) {
    if (!ready()) return;
    if (ref < 0) ref = 0;
    if (ref > 255) ref = 255;
    if (gGpu->alphaRef == ref) return;
    flush();
    gGpu->alphaRef = ref;
}

void setCulling(bool on) {
    if (!ready() || gGpu->culling == on) return;
    flush();
    gGpu->culling = on;
    if (on) glEnable(GL_CULL_FACE);
    else glDisable(GL_CULL_FACE);
}

void setLighting(bool on) {
    if (!ready() || gGpu->lighting == on) return;
    flush();
    gGpu->lighting = on;
    if (on) glEnable(GL_LIGHTING);
    else glDisable(GL_LIGHTING);
}

void setLinearFiltering(bool on) {
    if (!ready() || gGpu->linear == on) return;
    flush();
    gGpu->linear = on;
}

bool clearTexelsChangeNothing() {
    if (!ready()) return false;
    const GpuState& g = *gGpu;
    // The states known here; any other turns it off.
    constexpr uint32_t kKnown = kWithTexture | kWithBlending | kBlendAlpha | kBlendColourOne | kBlendOpaque |
                                kBlendAlphaOne | kWithAlphaTest | kWithLinear | kWithDepthTest | kWithDepthWrite |
                                kWithCulling | kWithPerspective | kIntoTexture | kWithScissor;
    if (conditions() & ~kKnown) return false;
    if (g.alphaTest && g.alphaRef >= 1) return true;
    if (g.depthTest && g.depthWrite) return false;
    return g.blending && (g.blendMode == 0 || g.blendMode == 3);
}

void setScissor(bool on, int x, int y, int width, int height) {
    if (!ready()) return;
    GpuState& g = *gGpu;
    if (!on) x = y = width = height = 0;
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    if (g.scissor == on && g.scissorBox[0] == x && g.scissorBox[1] == y && g.scissorBox[2] == width &&
        g.scissorBox[3] == height)
        return;
    flush();
    // Clears that wait were given for the whole target.
    bindCurrentTarget();
    runWaitingColourClear();
    runPendingClear();
    g.scissor = on;
    g.scissorBox[0] = x;
    g.scissorBox[1] = y;
    g.scissorBox[2] = width;
    g.scissorBox[3] = height;
    if (on) {
        glEnable(GL_SCISSOR_TEST);
        // Targets are stored top row first, so GL's rows count from the top as well.
        glScissor(x, y, width, height);
    } else {
        glDisable(GL_SCISSOR_TEST);
    }
    bindCurrentTarget();
}

void setTransforms(const float* world, const float* view, const float* projection) {
    if (!ready()) return;
    GpuState& g = *gGpu;
    if (!world) world = kIdentity;
    if (!view) view = kIdentity;
    if (!projection) projection = kIdentity;
    if (std::memcmp(g.world, world, sizeof g.world) == 0 && std::memcmp(g.view, view, sizeof g.view) == 0 &&
        std::memcmp(g.projection, projection, sizeof g.projection) == 0)
        return;
    flush();
    std::memcpy(g.world, world, sizeof g.world);
    std::memcpy(g.view, view, sizeof g.view);
    std::memcpy(g.projection, projection, sizeof g.projection);
    loadMatrices();
}

void applyLightPreset() {
    if (!ready()) return;
    flush();
    const GLfloat diffuse[4] = {1, 1, 1, 0};
    const GLfloat specular[4] = {1, 1, 1, 1};
    const GLfloat none[4] = {0, 0, 0, 0};
    const GLfloat white[4] = {1, 1, 1, 1};
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
    glLightfv(GL_LIGHT0, GL_AMBIENT, none);
    glEnable(GL_LIGHT0);
    const GLfloat materialDiffuse[4] = {1, 1, 1, 1};
    const GLfloat materialAmbient[4] = {0.2f, 0.2f, 0.2f, 1};
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, materialDiffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, materialAmbient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, none);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, none);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, white);
    gGpu->lightPreset = true;
    loadMatrices();
}

void clear(unsigned flags, uint32_t argb, float depth, uint32_t stencil) {
    if (!ready()) return;
    flush();
    GpuState& g = *gGpu;
    bindCurrentTarget();
    const uint32_t words[] = {flags, argb, stencil, g.target, static_cast<uint32_t>(g.scissor)};
    sign(words, sizeof words);
    sign(&depth, sizeof depth);
    bool defer = allowed(kShortcutDeferredClear, kDeferredClearSafe);
    if (flags & kClearColour) {
        g.colourClear[0] = static_cast<float>((argb >> 16) & 0xFF) / 255.0f;
        g.colourClear[1] = static_cast<float>((argb >> 8) & 0xFF) / 255.0f;
        g.colourClear[2] = static_cast<float>(argb & 0xFF) / 255.0f;
        g.colourClear[3] = static_cast<float>(argb >> 24) / 255.0f;
        if (!g.target && !g.scissor) g.pictureCleared = true;
        else if (TextureSlot* into = textureInfo(g.target)) ++into->version;
        if (defer) {
            // Done when the target is next drawn into or read.
            g.colourClearWaiting = true;
            ++g.stats.clearsDeferred;
        } else {
            g.colourClearWaiting = false;
            glClearColor(g.colourClear[0], g.colourClear[1], g.colourClear[2], g.colourClear[3]);
            glClear(GL_COLOR_BUFFER_BIT);
        }
    }
    GLbitfield depthPart = 0;
    if (flags & kClearDepth) depthPart |= GL_DEPTH_BUFFER_BIT;
    if (flags & kClearStencil) depthPart |= GL_STENCIL_BUFFER_BIT;
    if (!depthPart) return;
    const TextureSlot* slot = textureInfo(currentTargetHandle());
    bool depthBound = slot && g.boundFramebuffer == slot->depthFramebuffer;
    if (!depthBound && defer) {
        // The depth buffer is not attached now: its clear waits until it is. The buffer is
        // shared by every target: a clear that covers the waiting one's area and parts
        // replaces it, else the waiting one is done first.
        bool covers = g.targetWidth >= g.pendingWidth && g.targetHeight >= g.pendingHeight &&
                      (depthPart & g.pendingClear) == g.pendingClear;
        if (g.pendingClear && !covers) {
            runPendingClear();
            bindCurrentTarget();
        }
        if (depthPart & GL_DEPTH_BUFFER_BIT) g.pendingDepth = depth;
        if (depthPart & GL_STENCIL_BUFFER_BIT) g.pendingStencil = static_cast<GLint>(stencil);
        g.pendingClear |= depthPart;
        g.pendingClearTarget = currentTargetHandle();
        g.pendingWidth = g.targetWidth;
        g.pendingHeight = g.targetHeight;
        ++g.stats.clearsDeferred;
        return;
    }
    runPendingClear();
    if (slot && g.boundFramebuffer != slot->depthFramebuffer) {
        g.fn.bindFramebuffer(GL_FRAMEBUFFER, slot->depthFramebuffer);
        g.boundFramebuffer = slot->depthFramebuffer;
    }
    glClearDepth(depth);
    glClearStencil(static_cast<GLint>(stencil));
    // A clear of the depth buffer does not depend on the depth-write state.
    if (!g.depthWrite) glDepthMask(GL_TRUE);
    glClear(depthPart);
    if (!g.depthWrite) glDepthMask(GL_FALSE);
    bindCurrentTarget();
}

uint32_t createTexture(int width, int height, int levels, const uint8_t* rgba) {
    if (!gGpu || width <= 0 || height <= 0) return 0;
    flush();
    GpuState& g = *gGpu;
    uint32_t handle = newSlot();
    if (!handle) return 0;
    while (glGetError() != GL_NO_ERROR) {
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, levels > 1 ? 1 : 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    // The storage first, then its texels (zeros for a texture made empty).
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, g.blueFirst ? GL_BGRA : GL_RGBA, GL_UNSIGNED_BYTE,
                 nullptr);
    writeTexels(0, 0, width, height, rgba);
    if (levels > 1) g.fn.generateMipmap(GL_TEXTURE_2D);
    bool failed = glGetError() != GL_NO_ERROR;
    const TextureSlot* bound = textureInfo(g.texture);
    glBindTexture(GL_TEXTURE_2D, bound ? bound->name : 0);
    if (failed) {
        glDeleteTextures(1, &name);
        return 0;
    }
    TextureSlot& info = g.slots[handle - 1];
    uint32_t version = info.version;
    info = TextureSlot{};
    info.name = name;
    info.version = version + 1;
    info.width = width;
    info.height = height;
    info.levels = levels > 1 ? 2 : 1;
    if (rgba) measureOpaqueArea(info, rgba);
    return handle;
}

bool uploadTexture(uint32_t texture, int x, int y, int width, int height, const uint8_t* rgba) {
    TextureSlot* info = ready() ? textureInfo(texture) : nullptr;
    if (!info || !rgba || width <= 0 || height <= 0) return false;
    flush();
    GpuState& g = *gGpu;
    runWaitingColourClear();
    glBindTexture(GL_TEXTURE_2D, info->name);
    writeTexels(x, y, width, height, rgba);
    if (info->levels > 1) g.fn.generateMipmap(GL_TEXTURE_2D);
    bool ok = glGetError() == GL_NO_ERROR;
    const TextureSlot* bound = textureInfo(g.texture);
    glBindTexture(GL_TEXTURE_2D, bound ? bound->name : 0);
    ++info->version;
    if (x == 0 && y == 0 && width == info->width && height == info->height) measureOpaqueArea(*info, rgba);
    else info->opaqueWidth = info->opaqueHeight = 0;
    return ok;
}

bool readTexture(uint32_t texture, uint8_t* rgba) {
    const TextureSlot* info = ready() ? textureInfo(texture) : nullptr;
    if (!info || !rgba) return false;
    flush();
    runWaitingColourClear();
    glBindTexture(GL_TEXTURE_2D, info->name);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    bool ok = glGetError() == GL_NO_ERROR;
    const TextureSlot* bound = textureInfo(gGpu->texture);
    glBindTexture(GL_TEXTURE_2D, bound ? bound->name : 0);
    return ok;
}

void deleteTexture(uint32_t texture) {
    TextureSlot* info = ready() ? textureInfo(texture) : nullptr;
    if (!info) return;
    flush();
    if (gGpu->texture == texture) bindTexture(0);
    glDeleteTextures(1, &info->name);
    uint32_t version = info->version;
    *info = TextureSlot{};
    info->version = version + 1;  // a texture made later in the slot is another
}

void bindTexture(uint32_t texture) {
    if (!ready() || gGpu->texture == texture) return;
    flush();
    const TextureSlot* info = textureInfo(texture);
    if (!info) texture = 0;
    bool had = gGpu->texture != 0;
    gGpu->texture = texture;
    glBindTexture(GL_TEXTURE_2D, info ? info->name : 0);
    if (texture && !had) glEnable(GL_TEXTURE_2D);
    if (!texture) glDisable(GL_TEXTURE_2D);
}

bool createRenderTarget(int width, int height, uint32_t& texture, uint32_t& framebuffer) {
    texture = framebuffer = 0;
    if (!ready() || width <= 0 || height <= 0) return false;
    flush();
    texture = createTexture(width, height, 1, nullptr);
    if (!texture) return false;
    bool complete = makeFramebuffers(*textureInfo(texture));
    bindCurrentTarget();
    if (!complete) {
        deleteTexture(texture);
        texture = 0;
        return false;
    }
    framebuffer = texture;
    return true;
}

void deleteRenderTarget(uint32_t texture, uint32_t framebuffer) {
    if (!ready()) return;
    flush();
    if (framebuffer) {
        if (gGpu->target == framebuffer) setRenderTarget(0, gGpu->width, gGpu->height);
        deleteFramebuffers(framebuffer);
        bindCurrentTarget();
    }
    deleteTexture(texture);
}

void setRenderTarget(uint32_t framebuffer, int width, int height) {
    if (!ready()) return;
    flush();
    bindCurrentTarget();
    runWaitingColourClear();
    const TextureSlot* into = textureInfo(framebuffer);
    if (!into || !into->framebuffer) framebuffer = 0;
    gGpu->target = framebuffer;
    if (!framebuffer) {
        width = gGpu->width;
        height = gGpu->height;
    }
    gGpu->targetWidth = width;
    gGpu->targetHeight = height;
    bindCurrentTarget();
    glViewport(0, 0, width, height);
}

void drawSprites(const Vertex* vertices, int count, int primitive) {
    if (!ready() || !vertices || count < 3) return;
    GpuState& g = *gGpu;
    int triangles = primitive == kTriangleList ? count / 3 : count - 2;
    if (triangles * 3 > kBatchCapacity) {
        // Too long to gather: straight through.
        drawRaw(vertices, count, kLayoutPosition | kLayoutDiffuse | kLayoutTexture, primitive);
        return;
    }
    if (g.batchCount + triangles * 3 > kBatchCapacity) flush();
    if (triangles != 2) g.pairsOnly = false;
    bool quad = primitive == kTriangleStrip && count == 4;
    if (g.linear && g.texelExact)
        g.texelExact = quad && (g.shortcuts & kShortcutUnfiltered) && quadIsTexelExact(vertices);
    for (int i = 0; i < count; ++i) {
        const Vertex& v = vertices[i];
        if (v.u < g.uMin) g.uMin = v.u;
        if (v.u > g.uMax) g.uMax = v.u;
        if (v.v < g.vMin) g.vMin = v.v;
        if (v.v > g.vMax) g.vMax = v.v;
        uint32_t alpha = v.argb >> 24;
        if (alpha < g.minAlpha) g.minAlpha = alpha;
        if (v.argb != 0xFFFFFFFFu) g.batchWhite = false;
    }
    Vertex* out = g.batch + g.batchCount;
    if (primitive == kTriangleList) {
        std::memcpy(out, vertices, sizeof(Vertex) * static_cast<size_t>(triangles) * 3);
    } else if (primitive == kTriangleStrip) {
        for (int t = 0; t < triangles; ++t) {
            // Every second triangle of a strip is taken in reverse so that all keep one winding.
            const Vertex& a = vertices[t];
            const Vertex& b = vertices[t + 1];
            const Vertex& c = vertices[t + 2];
            if (t % 2 == 0) {
                out[0] = a;
                out[1] = b;
            } else {
                out[0] = b;
                out[1] = a;
            }
            out[2] = c;
            out += 3;
        }
    } else if (primitive == kTriangleFan) {
        for (int t = 0; t < triangles; ++t) {
            out[0] = vertices[0];
            out[1] = vertices[t + 1];
            out[2] = vertices[t + 2];
            out += 3;
        }
    } else {
        drawRaw(vertices, count, kLayoutPosition | kLayoutDiffuse | kLayoutTexture, primitive);
        return;
    }
    g.batchCount += triangles * 3;
}

void drawRaw(const void* vertices, int count, uint32_t layout, int primitive) {
    if (!ready() || !vertices || count <= 0) return;
    flush();
    GpuState& g = *gGpu;
    bindCurrentTarget();
    runWaitingColourClear();
    int stride = 12;
    int normalOffset = -1, sizeOffset = -1, diffuseOffset = -1, textureOffset = -1;
    if (layout & kLayoutNormal) {
        normalOffset = stride;
        stride += 12;
    }
    if (layout & kLayoutPointSize) {
        sizeOffset = stride;
        stride += 4;
    }
    if (layout & kLayoutDiffuse) {
        diffuseOffset = stride;
        stride += 4;
    }
    if (layout & kLayoutSpecular) stride += 4;
    if (layout & kLayoutTexture) {
        textureOffset = stride;
        stride += 8;
    }
    (void)sizeOffset;
    const auto* bytes = static_cast<const uint8_t*>(vertices);
    signStates();
    const int32_t kind[] = {static_cast<int32_t>(layout), primitive};
    sign(kind, sizeof kind);
    sign(bytes, static_cast<size_t>(stride) * static_cast<size_t>(count));
    std::vector<uint8_t> swizzled;
    if (diffuseOffset >= 0 && !g.bgraColours) {
        swizzled.assign(bytes, bytes + static_cast<size_t>(stride) * static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) {
            uint8_t* c = swizzled.data() + static_cast<size_t>(i) * static_cast<size_t>(stride) + diffuseOffset;
            uint8_t b = c[0];
            c[0] = c[2];
            c[2] = b;
        }
        bytes = swizzled.data();
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, stride, bytes);
    if (normalOffset >= 0) {
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, stride, bytes + normalOffset);
    } else {
        glDisableClientState(GL_NORMAL_ARRAY);
        glNormal3f(0.0f, 0.0f, 0.0f);
    }
    if (diffuseOffset >= 0) {
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(g.bgraColours ? GL_BGRA : 4, GL_UNSIGNED_BYTE, stride, bytes + diffuseOffset);
    } else {
        glDisableClientState(GL_COLOR_ARRAY);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    }
    if (textureOffset >= 0) {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, stride, bytes + textureOffset);
    } else {
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoord2f(0.0f, 0.0f);
    }
    colourMaterial(diffuseOffset >= 0);
    useProgram(0);
    applyDrawStates(false);
    glDrawArrays(glPrimitive(primitive), 0, count);
}

namespace {
uint32_t makeBuffer(GLenum kind, const void* bytes, size_t size) {
    if (!ready() || !gGpu->fn.bindBuffer || !bytes || size == 0) return 0;
    flush();
    const GlFunctions& fn = gGpu->fn;
    while (glGetError() != GL_NO_ERROR) {
    }
    GLuint name = 0;
    fn.genBuffers(1, &name);
    fn.bindBuffer(kind, name);
    fn.bufferData(kind, static_cast<GLsizeiptr>(size), bytes, GL_STATIC_DRAW);
    fn.bindBuffer(kind, 0);
    if (glGetError() != GL_NO_ERROR) {
        fn.deleteBuffers(1, &name);
        return 0;
    }
    return name;
}
}  // namespace

uint32_t createVertexBuffer(const void* vertices, int count) {
    return count > 0 ? makeBuffer(GL_ARRAY_BUFFER, vertices, static_cast<size_t>(count) * kMeshVertexBytes) : 0;
}

uint32_t createIndexBuffer(const uint16_t* indices, int count) {
    return count > 0 ? makeBuffer(GL_ELEMENT_ARRAY_BUFFER, indices, static_cast<size_t>(count) * 2) : 0;
}

void deleteBuffer(uint32_t buffer) {
    if (!ready() || !gGpu->fn.bindBuffer || !buffer) return;
    flush();
    GLuint name = buffer;
    gGpu->fn.deleteBuffers(1, &name);
}

void drawMesh(uint32_t vertexBuffer, uint32_t indexBuffer, int count) {
    if (!ready() || !gGpu->fn.bindBuffer || !vertexBuffer || count <= 0) return;
    flush();
    GpuState& g = *gGpu;
    bindCurrentTarget();
    runWaitingColourClear();
    signStates();
    const uint32_t what[] = {vertexBuffer, indexBuffer, static_cast<uint32_t>(count)};
    sign(what, sizeof what);
    g.fn.bindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, kMeshVertexBytes, reinterpret_cast<const void*>(0));
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, kMeshVertexBytes, reinterpret_cast<const void*>(12));
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, kMeshVertexBytes, reinterpret_cast<const void*>(24));
    glDisableClientState(GL_COLOR_ARRAY);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    colourMaterial(false);
    useProgram(0);
    applyDrawStates(false);
    if (indexBuffer) {
        g.fn.bindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
        glDrawElements(GL_TRIANGLES, count, GL_UNSIGNED_SHORT, reinterpret_cast<const void*>(0));
        g.fn.bindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    } else {
        glDrawArrays(GL_TRIANGLES, 0, count);
    }
    // Sprites and raw vertices come from memory again.
    g.fn.bindBuffer(GL_ARRAY_BUFFER, 0);
}

bool present(bool toWindow, int drawableWidth, int drawableHeight, int vx, int vy, int vw, int vh, bool force) {
    if (!ready()) return false;
    flush();
    GpuState& g = *gGpu;
    bindCurrentTarget();
    runWaitingColourClear();
    uint32_t shown = g.picture[g.back];
    bool swap = false;
    if (toWindow) {
        // The picture the window shows already: nothing to copy, nothing to swap.
        const int geometry[6] = {drawableWidth, drawableHeight, vx, vy, vw, vh};
        bool still = !force && g.signing && g.frameKnown && g.shownKnown && g.frameSignature == g.shownSignature &&
                     std::memcmp(geometry, g.shownGeometry, sizeof geometry) == 0;
        if (still) {
            ++g.stats.presentsLeftOut;
        } else {
            const TextureSlot* picture = textureInfo(shown);
            g.fn.bindFramebuffer(GL_READ_FRAMEBUFFER, picture->framebuffer);
            g.fn.bindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
            g.boundFramebuffer = 0;
            if (g.scissor) glDisable(GL_SCISSOR_TEST);
            glViewport(0, 0, drawableWidth, drawableHeight);
            // Only the bars beside the picture need clearing.
            if (vx > 0 || vy > 0 || vw < drawableWidth || vh < drawableHeight) {
                glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
                glClear(GL_COLOR_BUFFER_BIT);
            }
            // The picture is stored top row first; the window's rows count from the bottom.
            int top = drawableHeight - vy;
            // Whole multiples of the picture stay sharp; any other size is filtered.
            bool whole = vw % g.width == 0 && vh % g.height == 0 && vw / g.width == vh / g.height;
            g.fn.blitFramebuffer(0, 0, g.width, g.height, vx, top, vx + vw, top - vh, GL_COLOR_BUFFER_BIT,
                                 whole ? GL_NEAREST : GL_LINEAR);
            if (g.scissor) glEnable(GL_SCISSOR_TEST);
            swap = true;
        }
        g.shownSignature = g.frameSignature;
        g.shownKnown = g.signing && g.frameKnown;
        std::memcpy(g.shownGeometry, geometry, sizeof geometry);
    } else {
        // A window's swap waits for the frame's drawing; without a window the picture waits
        // too, or a software rasterizer queues frame after frame (each tens of megabytes)
        // that a window never holds.
        glFinish();
    }
    // Frames are told apart by their drawing only while they go to a window.
    g.signing = toWindow;
    g.frameSignature = 0xCBF29CE484222325ull;
    g.frameKnown = true;
    g.pictureCleared = false;
    g.back ^= 1;
    bindCurrentTarget();
    glViewport(0, 0, g.targetWidth, g.targetHeight);
    return swap;
}

namespace {
bool readFramebuffer(GLuint framebuffer, int width, int height, uint8_t* rgba) {
    GpuState& g = *gGpu;
    flush();
    bindCurrentTarget();
    runWaitingColourClear();
    g.fn.bindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    bool ok = glGetError() == GL_NO_ERROR;
    g.boundFramebuffer = 0;
    bindCurrentTarget();
    return ok;
}
GLuint framebufferOf(uint32_t handle) {
    const TextureSlot* slot = textureInfo(handle);
    return slot ? slot->framebuffer : 0;
}
}  // namespace

bool readPresentedPicture(uint8_t* rgba) {
    if (!ready() || !rgba) return false;
    return readFramebuffer(framebufferOf(gGpu->picture[gGpu->back ^ 1]), gGpu->width, gGpu->height, rgba);
}

bool readPicture(uint8_t* rgba) {
    if (!ready() || !rgba) return false;
    return readFramebuffer(framebufferOf(gGpu->picture[gGpu->back]), gGpu->width, gGpu->height, rgba);
}

bool readTarget(int width, int height, uint8_t* rgba) {
    if (!ready() || !rgba) return false;
    return readFramebuffer(framebufferOf(currentTargetHandle()), width, height, rgba);
}

int pictureWidth() { return gGpu ? gGpu->width : 800; }
int pictureHeight() { return gGpu ? gGpu->height : 600; }

const char* rendererName() {
    if (!ready()) return "";
    const char* name = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    return name ? name : "";
}

}  // namespace platform::gpu
