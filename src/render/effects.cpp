#include "render/effects.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/frame_clock.h"
#include "app/key_text.h"
#include "app/resource_store.h"
#include "app/trace.h"
#include "platform/files.h"
#include "platform/gpu.h"
#include "platform/random.h"
#include "render/device.h"
#include "render/sprites.h"
#include "render/textures.h"

namespace {
EffectsState gFx;

constexpr float kDegrees = 0.017453292f;

// a ± d: uniform in [a - d, a + d].
float spread(float a, float d) {
    int r = platform::rand();
    return a + d * static_cast<float>(2 * r - platform::kRandMax) / static_cast<float>(platform::kRandMax);
}

float clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

// A count that a float asks for, within 0..limit (NaN counts as 0).
int boundedCount(float wanted, int limit) {
    if (!(wanted > 0.0f)) return 0;
    if (wanted >= static_cast<float>(limit)) return limit;
    return static_cast<int>(wanted);
}

void turn(float& x, float& y, float degrees) {
    float a = degrees * kDegrees;
    float c = std::cos(a), s = std::sin(a);
    float nx = x * c - y * s;
    y = x * s + y * c;
    x = nx;
}

void spawnBurst(const float* p, float ox, float oy, int templateNumber, float scale, int pic) {
    const EffectTemplate& t = gFx.templates[templateNumber];
    // No symmetry gives one particle, a symmetry of 1 two at the same place, n of 2 or more n
    // evenly around the point.
    int n = t.burstSymmetry;
    if (n == 0 || n == 1) spawnParticle(p[0] + ox, p[1] + oy, p[2], templateNumber, scale, pic);
    if (n > kMaxParticlesPerBurst) n = kMaxParticlesPerBurst;
    for (int i = 0; i < n; ++i) {
        spawnParticle(p[0] + ox, p[1] + oy, p[2], templateNumber, scale, pic);
        turn(ox, oy, 360.0f / static_cast<float>(t.burstSymmetry));
    }
}

// The chain limit: a request more than 100 ms after the previous one (or when the running time
// went back, as loading a saved game makes it) starts a new count; at most 8 are carried out.
bool allowExternalStart() {
    float now = frameClock().runningMs;
    if (!gFx.externalSeen || now - gFx.lastExternalMs > 100.0f || now < gFx.lastExternalMs) gFx.externalCount = 0;
    gFx.externalSeen = true;
    gFx.lastExternalMs = now;
    bool allowed = gFx.externalCount < 8;
    gFx.externalCount += 1;
    return allowed;
}

void startTemplate(int number, float x, float y, float tx, float ty, float scale, int pic) {
    const EffectTemplate& t = gFx.templates[number];
    float p[3] = {x, y, 0.0f};
    float target[3] = {tx, ty, 0.0f};
    if (tx == kStayInPlace && ty == kStayInPlace) {
        target[0] = x;
        target[1] = y;
    }
    for (const char* external : t.externalEffects) {
        if (!external[0] || std::strcmp(external, t.name) == 0) continue;
        int e = findEffect(external);
        bool allowed = allowExternalStart();
        if (e >= 0 && allowed) startTemplate(e, x, y, tx, ty, scale, pic);
    }
    if (t.effectTime != 0.0f) {
        Emitter& m = gFx.emitters[gFx.nextEmitter];
        gFx.nextEmitter = (gFx.nextEmitter + 1) % kEmitterRing;
        m = Emitter{};
        m.templateNumber = number;
        m.picture = pic >= 0 ? pic : t.picture;
        m.scale = scale;
        // No frequency: the countdown never runs out.
        m.interval = t.frequency != 0.0f ? 1000.0f / t.frequency : HUGE_VALF;
        m.countdown = m.interval;
        for (int k = 0; k < 3; ++k) m.position[k] = p[k];
        for (int k = 0; k < 4; ++k) m.orbit[k] = spread(t.emitterOrbit[k], t.emitterOrbitDev[k]);
        if (m.orbit[0] < 0.0f) m.orbit[0] = 0.0f;
        for (int k = 0; k < 3; ++k) m.velocity[k] = (target[k] - p[k]) / t.effectTime;
        return;
    }
    float ox = t.emitterOrbit[0], oy = 0.0f;
    turn(ox, oy, t.emitterOrbit[2]);
    float bursts = t.frequency > 0.0f ? std::ceil(t.frequency) : 0.0f;
    int n = boundedCount(bursts, kMaxBurstsPerCall);
    for (int i = 0; i < n; ++i) spawnBurst(p, ox, oy, number, scale, pic);
}

uint32_t argbOf(const float* c) {
    auto channel = [](float v) { return static_cast<uint32_t>(clamp01(v) * 255.0f); };
    return (channel(c[3]) << 24) | (channel(c[0]) << 16) | (channel(c[1]) << 8) | channel(c[2]);
}

void addItem(const Particle& p, float qx, float qy, float size, uint32_t colour, int blendType) {
    if (gFx.itemCount >= kMaxDrawItems) return;
    ParticleDrawItem& d = gFx.items[gFx.itemCount++];
    d.position[0] = p.position[0] + qx;
    d.position[1] = p.position[1] + qy;
    d.position[2] = p.position[2];
    d.rotation = p.rotation;
    d.size = size;
    d.colour = colour;
    d.blendType = blendType;
    d.picture = p.picture;
}

void updateEmitters(float dt) {
    for (Emitter& m : gFx.emitters) {
        if (m.templateNumber < 0 || m.templateNumber >= gFx.templateCount) continue;
        const EffectTemplate& t = gFx.templates[m.templateNumber];
        if (!(m.elapsed < t.effectTime)) continue;
        float wx = t.emitterWobbleX[0] * std::cos((m.elapsed * t.emitterWobbleX[1] * 0.18f + t.emitterWobbleX[2]) * kDegrees);
        float wy = t.emitterWobbleY[0] * std::sin((m.elapsed * t.emitterWobbleY[1] * 0.18f + t.emitterWobbleY[2]) * kDegrees);
        float ox = m.orbit[0], oy = 0.0f;
        turn(ox, oy, m.orbit[2]);
        float ex = wx + ox, ey = wy + oy;
        m.countdown -= dt;
        if (m.countdown < 0.0f) {
            m.countdown += m.interval;
            int n = 1;
            if (!(m.interval > dt)) {
                // dt / interval, truncated (an interval of 0 asks for as many as there may be).
                if (m.interval > 0.0f) n = boundedCount(dt / m.interval, kMaxBurstsPerCall);
                else n = m.interval == 0.0f && dt > 0.0f ? kMaxBurstsPerCall : 0;
            }
            for (int i = 0; i < n; ++i) spawnBurst(m.position, ex, ey, m.templateNumber, m.scale, m.picture);
        }
        for (int k = 0; k < 3; ++k) m.position[k] += m.velocity[k] * dt;
        m.orbit[0] += m.orbit[1] * dt / 1000.0f;
        m.orbit[2] += m.orbit[3] * dt / 1000.0f;
        m.elapsed += dt;
    }
}

void updateLiveParticles(float dt) {
    for (Particle& p : gFx.particles) {
        if (!(p.age < p.lifetime)) continue;
        int blendType = 0, symmetry = 0;
        const float* wobbleX = nullptr;
        const float* wobbleY = nullptr;
        if (p.templateNumber >= 0 && p.templateNumber < gFx.templateCount) {
            const EffectTemplate& t = gFx.templates[p.templateNumber];
            blendType = t.blendType;
            symmetry = t.particleSymmetry;
            wobbleX = t.particleWobbleX;
            wobbleY = t.particleWobbleY;
        }
        float u = p.age / p.lifetime;
        float c[4];
        for (int k = 0; k < 4; ++k) c[k] = p.colour1[k] * u + p.colour0[k] * (1.0f - u);
        uint32_t colour = argbOf(c);
        float qx = p.orbit[0], qy = 0.0f;
        turn(qx, qy, p.orbit[2]);
        if (wobbleX) {
            qx += wobbleX[0] * std::cos((p.age * wobbleX[1] * 0.18f + wobbleX[2]) * kDegrees);
            qy += wobbleY[0] * std::sin((p.age * wobbleY[1] * 0.18f + wobbleY[2]) * kDegrees);
        }
        float size = p.size0 * (1.0f - u) + p.size1 * u;
        if (symmetry < 1) {
            addItem(p, qx, qy, size, colour, blendType);
        } else {
            for (int i = 0; i < symmetry && gFx.itemCount < kMaxDrawItems; ++i) {
                addItem(p, qx, qy, size, colour, blendType);
                turn(qx, qy, 360.0f / static_cast<float>(symmetry));
            }
        }
        for (int k = 0; k < 3; ++k) p.position[k] += p.velocity[k] * dt / 1000.0f;
        p.velocity[1] -= p.gravity * dt / 1000.0f;
        p.rotation += p.spin * dt / 1000.0f;
        p.orbit[0] += p.orbit[1] * dt / 1000.0f;
        p.orbit[2] += p.orbit[3] * dt / 1000.0f;
        p.age += dt;
    }
}

// One cell of the sheet as a square facing the viewer, in the colour given.
void drawSheetSprite(const float* p, float rotation, float size, uint32_t colour, int picture) {
    const Matrix4& view = viewMatrix();
    float h = size / 2.0f;
    float rx = view.m[0][0] * h, ry = view.m[1][0] * h, rz = view.m[2][0] * h;
    float ux = view.m[0][1] * h, uy = view.m[1][1] * h, uz = view.m[2][1] * h;
    float a = rotation * kDegrees;
    float s = std::sin(a), c = std::cos(a);
    Vector3 f{ux * s + rx * c, uy * s + ry * c, uz * s + rz * c};
    Vector3 g{ux * c - rx * s, uy * c - ry * s, uz * c - rz * s};
    int columns = gFx.sheetColumns, rows = gFx.sheetRows;
    float u0 = static_cast<float>(picture % columns) / static_cast<float>(columns) + 0.001f;
    float v0 = static_cast<float>(picture / columns) / static_cast<float>(rows) + 0.001f;
    float du = 1.0f / static_cast<float>(columns) - 0.001f;
    float dv = 1.0f / static_cast<float>(rows) - 0.001f;
    Vector3 c0{p[0] + g.x + f.x, p[1] + g.y + f.y, p[2] + g.z + f.z};
    Vector3 c1{p[0] + g.x - f.x, p[1] + g.y - f.y, p[2] + g.z - f.z};
    Vector3 c2{p[0] - g.x - f.x, p[1] - g.y - f.y, p[2] - g.z - f.z};
    Vector3 c3{p[0] - g.x + f.x, p[1] - g.y + f.y, p[2] - g.z + f.z};
    drawQuadCornersUV(c0, c1, c2, c3, TexturePoint{u0, v0}, TexturePoint{u0 + du, v0}, TexturePoint{u0 + du, v0 + dv},
                      TexturePoint{u0, v0 + dv}, colour);
}
}  // namespace

EffectsState& effectsState() { return gFx; }

void resetEffects() {
    gFx.templateCount = 0;
    gFx.sheet = nullptr;
    gFx.sheetColumns = gFx.sheetRows = 1;
    clearEffects();
}

void readEffectTemplate(const char* text, const char* name, EffectTemplate& t) {
    t = EffectTemplate{};
    std::snprintf(t.name, sizeof t.name, "%s", name ? name : "");
    if (!text) text = "";
    for (float& c : t.colour0) c = 1.0f;
    char key[32];
    for (int i = 0; i < 8; ++i) {
        std::snprintf(key, sizeof key, "externeffect%d=", i + 1);
        getString(t.externalEffects[i], sizeof t.externalEffects[i], text, key);
    }
    t.frequency = getFloat(text, "parfrequency=");
    getFloatList(text, t.colour0, 4, "color0=");
    getFloatList(text, t.colour0Dev, 4, "color0dev=");
    getFloatList(text, t.colour1, 4, "color1=");
    getFloatList(text, t.colour1Dev, 4, "color1dev=");
    t.size0 = getFloat(text, "radius0=");
    t.size0Dev = getFloat(text, "radius0dev=");
    t.size1 = getFloat(text, "radius1=");
    t.size1Dev = getFloat(text, "radius1dev=");
    t.lifetime = getFloat(text, "partime=");
    t.lifetimeDev = getFloat(text, "partimedev=");
    getFloatList(text, t.positionDev, 3, "positiondev=");
    getFloatList(text, t.speed, 3, "speed=");
    getFloatList(text, t.speedDev, 3, "speeddev=");
    t.gravity = getFloat(text, "gravity=");
    t.gravityDev = getFloat(text, "gravitydev=");
    t.blendType = getInt(text, "blendtype=");
    t.picture = getInt(text, "numparticle=");
    t.rotation = getFloat(text, "rot=");
    t.rotationDev = getFloat(text, "rotdev=");
    t.spin = getFloat(text, "drot=");
    t.spinDev = getFloat(text, "drotdev=");
    t.effectTime = getFloat(text, "effecttime=");
    getFloatList(text, t.particleOrbit, 4, "polarpar=");
    getFloatList(text, t.particleOrbitDev, 4, "polarpardev=");
    getFloatList(text, t.particleWobbleX, 3, "lissparx=");
    getFloatList(text, t.particleWobbleY, 3, "lisspary=");
    t.burstSymmetry = getInt(text, "simetria=");
    t.particleSymmetry = getInt(text, "simetriapar=");
    getFloatList(text, t.emitterOrbit, 4, "polar=");
    getFloatList(text, t.emitterOrbitDev, 4, "polardev=");
    getFloatList(text, t.emitterWobbleX, 3, "lissx=");
    getFloatList(text, t.emitterWobbleY, 3, "lissy=");
    t.sleep = getFloat(text, "sleep=");
}

bool addEffectTemplate(const EffectTemplate& effect) {
    if (gFx.templateCount >= kMaxEffectTemplates) return false;
    gFx.templates[gFx.templateCount++] = effect;
    return true;
}

void setParticleSheet(TextureEntry* sheet) {
    gFx.sheet = sheet;
    int columns = sheet ? static_cast<int>(sheet->width / 64) : 1;
    int rows = sheet ? static_cast<int>(sheet->height / 64) : 1;
    gFx.sheetColumns = columns > 0 ? columns : 1;
    gFx.sheetRows = rows > 0 ? rows : 1;
}

void loadEffects() {
    gFx.templateCount = 0;
    setParticleSheet(loadTexture("exploanim.tga"));
    std::string back = platform::currentDir();
    if (platform::changeDir("effects")) {
        for (const std::string& file : platform::listFiles(".", "par")) {
            if (gFx.templateCount >= kMaxEffectTemplates) break;
            int32_t size = 0;
            uint8_t* bytes = loadFile(file.c_str(), &size, true);
            std::string text(reinterpret_cast<const char*>(bytes), static_cast<size_t>(size > 0 ? size : 0));
            releaseByData(bytes);
            std::string name = file.substr(0, file.size() - 4);
            EffectTemplate t;
            readEffectTemplate(text.c_str(), name.c_str(), t);
            addEffectTemplate(t);
        }
        platform::changeDir(back.c_str());
    }
    clearEffects();
}

void clearEffects() {
    for (Emitter& m : gFx.emitters) m = Emitter{};
    for (Particle& p : gFx.particles) p = Particle{};
    gFx.nextEmitter = 0;
    gFx.nextParticle = 0;
    gFx.itemCount = 0;
}

int findEffect(const char* name) {
    if (!name) return -1;
    for (int i = 0; i < gFx.templateCount; ++i)
        if (std::strcmp(gFx.templates[i].name, name) == 0) return i;
    return -1;
}

void startEffect(const char* name, float x, float y, float targetX, float targetY, float scale, int pic) {
    traceCall("effect", name, x, y);
    if (pic > 24 && pic < 39) pic = kGenericSparkPicture;
    int number = findEffect(name);
    if (number < 0) return;
    startTemplate(number, x, y, targetX, targetY, scale, pic);
}

void spawnParticle(float x, float y, float z, int templateNumber, float scale, int pic) {
    if (templateNumber < 0 || templateNumber >= gFx.templateCount) return;
    const EffectTemplate& t = gFx.templates[templateNumber];
    Particle& p = gFx.particles[gFx.nextParticle];
    gFx.nextParticle = (gFx.nextParticle + 1) % kParticleRing;
    p = Particle{};
    p.templateNumber = templateNumber;
    for (int k = 0; k < 4; ++k) p.colour0[k] = clamp01(spread(t.colour0[k], t.colour0Dev[k]));
    for (int k = 0; k < 4; ++k) p.colour1[k] = clamp01(spread(t.colour1[k], t.colour1Dev[k]));
    p.lifetime = spread(t.lifetime, t.lifetimeDev);
    if (p.lifetime < 0.0f) p.lifetime = 0.0f;
    p.position[0] = spread(x, t.positionDev[0]);
    p.position[1] = spread(y, t.positionDev[1]);
    p.position[2] = spread(z, t.positionDev[2]);
    for (int k = 0; k < 3; ++k) p.velocity[k] = spread(t.speed[k], t.speedDev[k]);
    p.rotation = spread(t.rotation, t.rotationDev);
    p.spin = spread(t.spin, t.spinDev);
    p.size0 = spread(t.size0, t.size0Dev);
    if (p.size0 < 0.0f) p.size0 = 0.0f;
    p.size1 = spread(t.size1, t.size1Dev);
    if (p.size1 < 0.0f) p.size1 = 0.0f;
    for (int k = 0; k < 4; ++k) p.orbit[k] = spread(t.particleOrbit[k], t.particleOrbitDev[k]);
    if (p.orbit[0] < 0.0f) p.orbit[0] = 0.0f;
    for (float& v : p.velocity) v *= scale;
    p.size0 *= scale;
    p.size1 *= scale;
    p.orbit[0] *= scale;
    p.picture = pic >= 0 ? pic : t.picture;
    p.gravity = spread(t.gravity, t.gravityDev);
}

void updateParticles(float dtMs) {
    gFx.itemCount = 0;
    updateEmitters(dtMs);
    updateLiveParticles(dtMs);
}

void drawParticleItems() {
    setWorldMatrix(nullptr);
    switchOff(kSwitchLighting);
    switchOff(kSwitchAlphaTest);
    switchOn(kSwitchBlending);
    setBlendMode(kBlendAlpha);
    bindTexture(gFx.sheet);
    for (int i = 0; i < gFx.itemCount; ++i) {
        const ParticleDrawItem& d = gFx.items[i];
        if (d.blendType == 0) setBlendMode(kBlendAdditive);
        else if (d.blendType == 1) setBlendMode(kBlendAlpha);
        drawSheetSprite(d.position, d.rotation, d.size, d.colour, d.picture);
    }
    gFx.itemCount = 0;
    setBlendMode(kBlendAlpha);
    switchOn(kSwitchAlphaTest);
}

void updateAndDrawParticles() {
    // Before the particles: ordinary transparency, blending and the alpha test against 1.
    setBlendMode(kBlendAlpha);
    switchOn(kSwitchBlending);
    switchOn(kSwitchAlphaTest);
    platform::gpu::setAlphaReference(1);
    updateParticles(frameClock().frameMs);
    drawParticleItems();
}

void drawParticleSprite(float x, float y, float z, float rotation, float size, unsigned colour, int pic) {
    switchOff(kSwitchAlphaTest);
    switchOn(kSwitchBlending);
    setBlendMode(kBlendAdditive);
    bindTexture(gFx.sheet);
    float p[3] = {x, y, z};
    drawSheetSprite(p, rotation, size, colour, pic);
    setBlendMode(kBlendAlpha);
}

int liveParticleCount() {
    int n = 0;
    for (const Particle& p : gFx.particles) n += p.age < p.lifetime ? 1 : 0;
    return n;
}

int activeEmitterCount() {
    int n = 0;
    for (const Emitter& m : gFx.emitters)
        if (m.templateNumber >= 0 && m.templateNumber < gFx.templateCount &&
            m.elapsed < gFx.templates[m.templateNumber].effectTime)
            ++n;
    return n;
}
