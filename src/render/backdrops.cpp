#include "render/backdrops.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/frame_clock.h"
#include "app/resource_store.h"
#include "platform/fatal.h"
#include "platform/files.h"
#include "platform/random.h"
#include "render/device.h"
#include "render/meshes.h"
#include "render/sprites.h"
#include "render/textures.h"

namespace {
BackdropState gBack;

constexpr float kTintPresets[3][4] = {{0.8f, 0.8f, 1.0f, 1.0f}, {1.0f, 0.8f, 0.8f, 1.0f}, {1.0f, 1.0f, 1.0f, 1.0f}};
constexpr float kPi = 3.14159265f;
// An 800 x 600 picture in its 1024 x 1024 texture.
constexpr float kPictureU = 0.78125f;
constexpr float kPictureV = 0.5859375f;

template <typename T>
T readAt(const uint8_t* bytes, size_t at) {
    T v;
    std::memcpy(&v, bytes + at, sizeof v);
    return v;
}

int validNumber(int number) { return number >= 0 && number < kBackdropCount ? number : 0; }

const float* preset(int p) { return kTintPresets[p >= 0 && p <= 2 ? p : kTintNeutral]; }

// Where the game's folders are entered and left again.
struct InFolder {
    std::string back = platform::currentDir();
    bool entered;
    explicit InFolder(const char* folder) : entered(platform::changeDir(folder)) {}
    ~InFolder() {
        if (entered) platform::changeDir(back.c_str());
    }
};

TextureEntry* loadBackdropPicture(int number) {
    char name[32];
    std::snprintf(name, sizeof name, "_a_back%d.jpg", number);
    TextureEntry* e = loadAlphaPictureIntoPow2(name, 800, 600);
    if (!e) {
        char text[160];
        std::snprintf(text, sizeof text, "Couldn't load texture: %s", name);
        platform::fatal(text, "Loading error");
    }
    return e;
}

// The layout's bytes, from the resource store (the disk the first time); call inside "AnimBacks".
void fetchLayout(int number) {
    if (gBack.layouts[number]) return;
    char name[32];
    std::snprintf(name, sizeof name, "level%d.lev", number);
    int32_t size = 0;
    uint8_t* bytes = loadFile(name, &size, true);
    setLayoutBytes(number, bytes, size);
}

uint32_t greyColour(int g, int alpha) {
    uint32_t v = static_cast<uint32_t>(std::clamp(g, 0, 255));
    return (static_cast<uint32_t>(std::clamp(alpha, 0, 255)) << 24) | (v << 16) | (v << 8) | v;
}

float spread(float a, float d) {
    int r = platform::rand();
    return a + d * static_cast<float>(2 * r - platform::kRandMax) / static_cast<float>(platform::kRandMax);
}

// Texture coordinates keep their precision on a long run; under wrap addressing a whole number
// of repeats changes nothing.
float wrapped(float u) { return std::isfinite(u) ? std::fmod(u, 1.0f) : 0.0f; }

void drawObjectQuad(const BackdropObject& o, TextureEntry* texture, float u0, float v0, float su, float sv,
                    uint32_t colour) {
    float cx = (o.x0 + o.x1) / 2.0f, cy = (o.y0 + o.y1) / 2.0f;
    float w = std::fabs(o.x0 - o.x1), h = std::fabs(o.y0 - o.y1);
    UVRect uv = o.mirrored ? UVRect{u0 + su, v0, u0, v0 + sv} : UVRect{u0, v0, u0 + su, v0 + sv};
    bindTexture(texture);
    drawRotatedQuad(cx, cy, cx, cy, o.angle, w, h, uv, colour, 0.0f);
}

// Sky, water and the still objects marked behind, before the picture. Our objects with a
// picture of their own transparency (a sun in the sky) and the incoming backdrop's objects
// while it fades in are blended over what is already there; the rest is copied.
void drawBehind(const BackdropObject& o, TextureEntry* texture, float u0, float v0, float su, float sv,
                int alpha) {
    bool blend = alpha < 255 || (texture && texture->hasAlpha);
    if (blend) {
        switchOn(kSwitchBlending);
        setBlendMode(kBlendAlpha);
    }
    drawObjectQuad(o, texture, u0, v0, su, sv, greyColour(255, alpha));
    if (blend) switchOff(kSwitchBlending);
}

// One backdrop: its objects around its picture. objectAlpha is 255, or the fade of the incoming
// backdrop's objects that are drawn before the picture.
void drawLayer(TextureEntry* picture, int objectAlpha, bool transition) {
    BackdropScene& s = gBack.scene;
    const float t = frameClock().runningMs, dt = frameClock().frameMs;
    gBack.leafCount = 0;
    switchOff(kSwitchBlending);
    switchOff(kSwitchAlphaTest);
    float leafPhase = 0.0f;
    for (int i = 0; i < s.objectCount; ++i) {
        BackdropObject& o = s.objects[i];
        const GameObjectEntry& e = gBack.entries[o.entry];
        TextureEntry* tex = e.texture;
        float texW = tex && tex->width ? static_cast<float>(tex->width) : 1.0f;
        float texH = tex && tex->height ? static_cast<float>(tex->height) : 1.0f;
        float w = std::fabs(o.x0 - o.x1), h = std::fabs(o.y0 - o.y1);
        o.drawn = false;
        switch (objectKind(e.name)) {
            case ObjectKind::Sky: {
                float su = (o.y1 - o.y0) != 0.0f ? (o.x1 - o.x0) / (o.y1 - o.y0) * (texH / texW) : 1.0f;
                drawBehind(o, tex, wrapped(-0.000003f * t), 0.0f, su, 1.0f, objectAlpha);
                o.drawn = true;
                break;
            }
            case ObjectKind::Waterfall:
            case ObjectKind::Water: {
                float k = objectKind(e.name) == ObjectKind::Water ? 0.2f : 1.0f;
                float u0 = wrapped(-o.speedX * t * 0.00001f * k), v0 = wrapped(-o.speedY * t * 0.00001f * k);
                drawBehind(o, tex, u0, v0, (o.x1 - o.x0) / texW, (o.y1 - o.y0) / texH, objectAlpha);
                o.drawn = true;
                break;
            }
            case ObjectKind::Spray:
                o.timer += dt;
                if (w * h > 0.0f && o.timer > 300000.0f / (w * h)) {
                    o.timer = 0.0f;
                    if (!transition) {
                        SprayDroplet& d = gBack.spray[gBack.nextSpray];
                        gBack.nextSpray = (gBack.nextSpray + 1) % kSprayRing;
                        float cx = (o.x0 + o.x1) / 2.0f, cy = (o.y0 + o.y1) / 2.0f;
                        d.x = spread(cx, w / 2.0f);
                        d.y = spread(cy, h / 2.0f);
                        d.time = 2000.0f;
                        d.texture = tex;
                    }
                }
                // Its droplets are its drawing.
                o.drawn = true;
                break;
            case ObjectKind::Leaves: {
                o.timer += dt;
                float l = leafPhase + o.timer;
                leafPhase += 400.0f;
                float speed = std::sqrt(o.speedX * o.speedX + o.speedY * o.speedY);
                int g = speed < 255.0f ? 255 - static_cast<int>(speed) : 0;
                float side = o.mirrored ? -1.0f : 1.0f;
                float a = 0.6f, f1 = 0.0022f, b = 0.24f, f2 = 0.0038f;
                if (std::strcmp(e.name, "leaves1") == 0) a = 0.5f, f1 = 0.003f, b = 0.2f, f2 = 0.0043f;
                else if (std::strcmp(e.name, "leaves2") == 0) a = 0.18f, f1 = 0.004f, b = 0.11f, f2 = 0.0024f;
                if (gBack.leafCount < kMaxLeafSprites) {
                    LeafSprite& leaf = gBack.leaves[gBack.leafCount++];
                    leaf.x = (o.x0 + o.x1) / 2.0f;
                    leaf.y = (o.y0 + o.y1) / 2.0f;
                    leaf.pivotX = leaf.x - w / 2.0f * side;
                    leaf.pivotY = leaf.y;
                    leaf.angle = o.angle + a * std::sin(l * f1) + b * std::sin(l * f2);
                    leaf.width = w;
                    leaf.height = h;
                    leaf.colour = greyColour(g, 255);
                    leaf.texture = tex;
                    leaf.mirrored = o.mirrored;
                }
                // Swung in front of the picture, after it.
                o.drawn = true;
                break;
            }
            case ObjectKind::Still:
                if (o.behind) {
                    drawBehind(o, tex, 0.0f, 0.0f, 1.0f, 1.0f, objectAlpha);
                    o.drawn = true;
                }
                break;
        }
    }
    switchOn(kSwitchBlending);
    setBlendMode(kBlendAlpha);
    if (!transition) switchOff(kSwitchSmoothFiltering);
    if (picture) {
        bindTexture(picture);
        drawScreenRect(0, 0, 800, 600, 0, 0, kPictureU, kPictureV, 0xFFFFFFFFu);
    }
    switchOn(kSwitchSmoothFiltering);
    for (int i = 0; i < s.objectCount; ++i) {
        const BackdropObject& o = s.objects[i];
        if (!o.drawn) drawObjectQuad(o, gBack.entries[o.entry].texture, 0.0f, 0.0f, 1.0f, 1.0f, 0xFFFFFFFFu);
    }
    setBlendMode(kBlendAdditive);
    switchOff(kSwitchDepthWrite);
    for (SprayDroplet& d : gBack.spray) {
        if (!(d.time > 0.0f)) continue;
        float b = std::sin(kPi * d.time / 2000.0f);
        float half = (2000.0f - d.time) * 0.011f + 15.0f;
        float y = d.y + 8.0f * b * b;
        uint32_t c = greyColour(static_cast<int>(255.0f * b), 255);
        bindTexture(d.texture);
        drawQuadCorners(Vector3{d.x - half, y + half, 0.0f}, Vector3{d.x + half, y + half, 0.0f},
                        Vector3{d.x + half, y - half, 0.0f}, Vector3{d.x - half, y - half, 0.0f}, c, c, c, c);
        d.time -= dt;
    }
    switchOn(kSwitchDepthWrite);
    setBlendMode(kBlendAlpha);
    for (int i = 0; i < gBack.leafCount; ++i) {
        const LeafSprite& leaf = gBack.leaves[i];
        bindTexture(leaf.texture);
        drawRotatedQuad(leaf.x, leaf.y, leaf.pivotX, leaf.pivotY, leaf.angle, leaf.width, leaf.height,
                        leaf.mirrored ? UVRect{1, 0, 0, 1} : UVRect{0, 0, 1, 1}, leaf.colour, 0.0f);
    }
}

// The tint drifts towards its target, and is applied (brightness times the factor, alpha given).
void tintStep(float brightness, float alpha) {
    BackdropTint& tint = gBack.tint;
    float k = std::min(1.0f, 0.0015f * frameClock().frameMs);
    for (int c = 0; c < 4; ++c) tint.current[c] = tint.current[c] * (1.0f - k) + tint.target[c] * k;
    setTint(tint.current[0] * brightness, tint.current[1] * brightness, tint.current[2] * brightness, alpha);
}

void applyTint(float brightness, float alpha) {
    const BackdropTint& tint = gBack.tint;
    setTint(tint.current[0] * brightness, tint.current[1] * brightness, tint.current[2] * brightness, alpha);
}
}  // namespace

ObjectKind objectKind(const char* name) {
    if (!name) return ObjectKind::Still;
    if (std::strstr(name, "sky")) return ObjectKind::Sky;
    if (std::strstr(name, "waterfall")) return ObjectKind::Waterfall;
    if (std::strstr(name, "water")) return ObjectKind::Water;
    if (std::strstr(name, "spray")) return ObjectKind::Spray;
    if (std::strstr(name, "leaves")) return ObjectKind::Leaves;
    return ObjectKind::Still;
}

void readGameObjectList(const char* text, GameObjectList& out) {
    out.groupCount = 0;
    out.entryCount = 0;
    if (!text) return;
    const char* p = text;
    while ((p = std::strchr(p, '[')) != nullptr) {
        // An opening "[name/]" stands within one line and names at most 63 characters.
        const char* close = nullptr;
        for (const char* q = p + 1; *q && *q != '\r' && *q != '\n' && q - p <= 64; ++q) {
            if (q[0] == '/' && q[1] == ']') {
                close = q;
                break;
            }
        }
        if (!close || close == p + 1) {
            ++p;
            continue;
        }
        std::string group(p + 1, static_cast<size_t>(close - (p + 1)));
        const char* body = close + 2;
        std::string closing = "[/" + group + "]";
        const char* end = std::strstr(body, closing.c_str());
        const char* bodyEnd = end ? end : body + std::strlen(body);
        int groupNumber = out.groupCount;
        if (out.groupCount < kMaxObjectGroups) {
            std::snprintf(out.groups[out.groupCount], sizeof out.groups[0], "%s", group.c_str());
            ++out.groupCount;
        }
        const char* line = body;
        while (line < bodyEnd) {
            const char* eol = line;
            while (eol < bodyEnd && *eol != '\r' && *eol != '\n') ++eol;
            const char* eq = static_cast<const char*>(std::memchr(line, '=', static_cast<size_t>(eol - line)));
            if (eq && out.entryCount < kMaxGameObjects) {
                GameObjectList::Line& entry = out.entries[out.entryCount++];
                size_t nameLength = std::min(static_cast<size_t>(eq - line), sizeof entry.name - 1);
                std::memcpy(entry.name, line, nameLength);
                entry.name[nameLength] = '\0';
                const char* file = eq + 1;
                size_t fileLength = 0;
                while (file + fileLength < eol && file[fileLength] != ' ' && file[fileLength] != '\t' &&
                       file[fileLength] != ',')
                    ++fileLength;
                fileLength = std::min(fileLength, sizeof entry.file - 1);
                std::memcpy(entry.file, file, fileLength);
                entry.file[fileLength] = '\0';
                entry.group = groupNumber;
            }
            line = eol < bodyEnd ? eol + 1 : eol;
        }
        if (!end) break;
        p = end + closing.size();
    }
}

int layoutObjectCount(const uint8_t* bytes, int32_t size) {
    if (!bytes || size < kLayoutHeaderBytes) return 0;
    int32_t n = readAt<int32_t>(bytes, 64);
    int32_t fits = (size - kLayoutHeaderBytes) / kLayoutRecordBytes;
    return std::clamp(n, 0, std::min(kMaxBackdropObjects, fits));
}

LayoutRecord layoutRecord(const uint8_t* bytes, int i) {
    LayoutRecord r{};
    const size_t at = kLayoutHeaderBytes + static_cast<size_t>(i) * kLayoutRecordBytes;
    std::memcpy(r.name, bytes + at, 32);
    r.name[32] = '\0';
    r.x0 = readAt<float>(bytes, at + 32);
    r.y0 = readAt<float>(bytes, at + 36);
    r.x1 = readAt<float>(bytes, at + 40);
    r.y1 = readAt<float>(bytes, at + 44);
    r.angle = readAt<float>(bytes, at + 48);
    r.speedX = readAt<float>(bytes, at + 52);
    r.speedY = readAt<float>(bytes, at + 56);
    r.mirrored = bytes[at + 60];
    r.behind = readAt<int32_t>(bytes, at + 61);
    return r;
}

BackdropState& backdropState() { return gBack; }

void resetBackdrops() { gBack = BackdropState{}; }

bool addGameObject(const char* name, TextureEntry* texture, Model* model, int group) {
    if (gBack.entryCount >= kMaxGameObjects) return false;
    GameObjectEntry& e = gBack.entries[gBack.entryCount++];
    std::snprintf(e.name, sizeof e.name, "%s", name ? name : "");
    e.texture = texture;
    e.model = model;
    e.group = group;
    return true;
}

void setLayoutBytes(int number, const uint8_t* bytes, int32_t size) {
    if (number < 0 || number >= kBackdropCount) return;
    gBack.layouts[number] = bytes;
    gBack.layoutSizes[number] = size;
}

void loadGameObjects() {
    InFolder folder("AnimBacks");
    int32_t size = 0;
    uint8_t* bytes = loadFile("gameobjs.txt", &size, true);
    std::string text(reinterpret_cast<const char*>(bytes), static_cast<size_t>(size > 0 ? size : 0));
    releaseByData(bytes);
    static GameObjectList list;
    readGameObjectList(text.c_str(), list);
    gBack.entryCount = 0;
    gBack.groupCount = list.groupCount;
    for (int i = 0; i < list.groupCount; ++i) std::memcpy(gBack.groups[i], list.groups[i], sizeof gBack.groups[i]);
    for (int i = 0; i < list.entryCount; ++i) {
        const GameObjectList::Line& line = list.entries[i];
        TextureEntry* texture = nullptr;
        Model* model = nullptr;
        if (std::strstr(line.file, ".tga") || std::strstr(line.file, ".jpg")) texture = loadTexture(line.file);
        else if (std::strstr(line.file, ".cgo")) model = loadModel(line.file);
        addGameObject(line.name, texture, model, line.group);
    }
    for (int n = 0; n < kPreloadedLayouts; ++n) fetchLayout(n);
    gBack.loaded = true;
}

void loadBackdropLayout(int number) {
    number = validNumber(number);
    BackdropScene& s = gBack.scene;
    const uint8_t* bytes = gBack.layouts[number];
    int count = layoutObjectCount(bytes, gBack.layoutSizes[number]);
    bool keepTimers = s.timer > 0.0f;
    int n = 0;
    for (int i = 0; i < count; ++i) {
        LayoutRecord r = layoutRecord(bytes, i);
        int entry = -1;
        for (int k = 0; k < gBack.entryCount && entry < 0; ++k)
            if (std::strcmp(gBack.entries[k].name, r.name) == 0) entry = k;
        if (entry < 0) continue;
        BackdropObject& o = s.objects[n++];
        float timer = o.timer;
        o = BackdropObject{};
        o.entry = entry;
        o.x0 = r.x0;
        o.y0 = r.y0;
        o.x1 = r.x1;
        o.y1 = r.y1;
        o.angle = r.angle;
        o.speedX = r.speedX;
        o.speedY = r.speedY;
        o.mirrored = r.mirrored != 0;
        o.colour = 0xFFFFFFFFu;
        o.behind = r.behind;
        o.timer = keepTimers ? timer : static_cast<float>(platform::rand() % 501);
    }
    s.objectCount = n;
}

void setBackdrop(int number) {
    number = validNumber(number);
    BackdropScene& s = gBack.scene;
    if (s.number == number && s.picture) return;
    InFolder folder("AnimBacks");
    if (s.picture && s.picture != s.incomingPicture) releaseTexture(s.picture);
    s.picture = loadBackdropPicture(number);
    s.number = number;
    fetchLayout(number);
    loadBackdropLayout(number);
}

void changeBackdrop(int number) {
    number = validNumber(number);
    BackdropScene& s = gBack.scene;
    InFolder folder("AnimBacks");
    if (s.incomingPicture && s.incomingPicture != s.picture) releaseTexture(s.incomingPicture);
    s.incomingPicture = loadBackdropPicture(number);
    s.incomingNumber = number;
    fetchLayout(number);
    s.timer = kBackdropTransitionMs;
}

void drawBackdrop(bool cameraSwing, float dimming) {
    BackdropScene& s = gBack.scene;
    const float dt = frameClock().frameMs;
    const float brightness = 0.8f + 0.2f * std::clamp(dimming, 0.0f, 1.0f);
    float swing = s.timer > 0.0f ? 1.0f - s.timer / kBackdropTransitionMs : 0.0f;
    const float step = cameraSwing ? dt : 6.0f * dt;
    if (s.timer >= 1500.0f) {
        s.fade = 0.0f;
        s.timer -= step;
    } else {
        s.fade = 1.0f - s.timer / 1500.0f;
    }
    const Matrix4 normalView = viewMatrix();
    if (cameraSwing) {
        Matrix4 v = normalView;
        v.m[3][0] += 30.0f * swing * swing * std::cos(4.712389f * swing);
        v.m[3][1] += 30.0f * swing * swing * std::sin(kPi * swing);
        v.m[0][0] = v.m[1][1] = 1.5f * swing * swing + 1.0f;
        v.m[2][2] = 1.0f;
        setViewMatrix(&v);
    }
    tintStep(brightness, 1.0f);
    bool transition = s.timer > 0.0f;
    drawLayer(s.picture, 255, transition);
    if (s.timer > 0.0f && s.timer <= 1500.0f) {
        s.timer -= step;
        loadBackdropLayout(s.incomingNumber);
        applyTint(brightness, s.fade);
        float f = s.fade;
        drawLayer(s.incomingPicture, static_cast<int>(f * f * f * 255.0f), true);
        setTint(1.0f, 1.0f, 1.0f, 1.0f);
        if (s.timer <= 0.0f) {
            if (s.picture && s.picture != s.incomingPicture) releaseTexture(s.picture);
            s.picture = s.incomingPicture;
            s.number = s.incomingNumber;
            s.incomingPicture = nullptr;
            s.incomingNumber = -1;
            s.timer = 0.0f;
        } else {
            loadBackdropLayout(s.number);
        }
    }
    if (cameraSwing) setViewMatrix(&normalView);
    setTint(1.0f, 1.0f, 1.0f, 1.0f);
}

void drawStillBackdrop() {
    tintStep(1.0f, gBack.tint.current[3]);
    drawLayer(gBack.scene.picture, 255, false);
    setTint(1.0f, 1.0f, 1.0f, 1.0f);
}

void setTintTarget(int p) { std::memcpy(gBack.tint.target, preset(p), sizeof gBack.tint.target); }

void setTintNow(int p) {
    std::memcpy(gBack.tint.target, preset(p), sizeof gBack.tint.target);
    std::memcpy(gBack.tint.current, preset(p), sizeof gBack.tint.current);
}

void loadArtefactPictures() {
    char name[32];
    {
        InFolder folder("artefacts");
        for (int i = 0; i < kArtefactCount; ++i) {
            std::snprintf(name, sizeof name, "art%.2i.jpg", i);
            gBack.artefacts[i] = loadTexture(name);
        }
    }
    InFolder folder("mask");
    gBack.covers[0] = loadTexture("zaglushka.jpg");
    char mask[32];
    for (int k = 1; k < kCoverCount; ++k) {
        std::snprintf(name, sizeof name, "cover%i.tga", k);
        std::snprintf(mask, sizeof mask, "mask%i.tga", k);
        gBack.covers[k] = copyTextureWithMask(name, "zaglushka.jpg", mask);
    }
}

void drawArtefactPicture(int artefact, int cover, int revealState, float revealMs) {
    artefact = std::clamp(artefact, 0, kArtefactCount - 1);
    cover = std::clamp(cover, 0, kCoverCount - 1);
    const int next = std::min(cover + 1, kCoverCount - 1);
    const bool coverShown = cover < kCoverCount - 1;
    const UVRect full{0.0f, 0.0f, 1.0f, 1.0f};
    auto square = [&](TextureEntry* picture, int alpha) {
        bindTexture(picture);
        drawQuadRect(128.0f, 284.0f, 384.0f, 28.0f, full, greyColour(255, alpha), 10.0f);
    };
    switchOn(kSwitchBlending);
    setBlendMode(kBlendAlpha);
    square(gBack.artefacts[artefact], 255);
    if (revealState == kRevealRevealing) {
        if (coverShown) square(gBack.covers[cover], 255);
        square(gBack.covers[next], static_cast<int>(127.0f * std::cos(0.007f * revealMs) + 128.0f));
    } else if (revealState == kRevealPulsing) {
        square(gBack.covers[cover], 255);
        square(gBack.covers[next], static_cast<int>(15.0f * std::cos(0.025f * revealMs) + 240.0f));
    } else if (coverShown) {
        square(gBack.covers[cover], 255);
    }
}
