// Particle effects: the templates read from the "*.par" files of the folder "effects", the
// emitters that travel and emit, the particles and their drawing from the particle sheet.
#pragma once

#include <cstdint>

struct TextureEntry;

constexpr int kMaxEffectTemplates = 256;
constexpr int kEmitterRing = 256;
constexpr int kParticleRing = 1024;
constexpr int kMaxDrawItems = 4096;
// A file may ask for any number of bursts or mirror images; one call never spawns more than a
// ring's worth of either, so a hostile value or a long frame cannot stall the game.
constexpr int kMaxBurstsPerCall = 1024;
constexpr int kMaxParticlesPerBurst = 1024;
// The picture numbers 25..38 of startEffect all draw the generic spark.
constexpr int kGenericSparkPicture = 10;
constexpr float kStayInPlace = -1000000.0f;

// One "*.par" file. Angles are degrees, times milliseconds, speeds units per second.
struct EffectTemplate {
    char name[32];
    char externalEffects[8][32];
    float frequency;
    float colour0[4];
    float colour0Dev[4];
    float colour1[4];
    float colour1Dev[4];
    float size0, size0Dev;
    float size1, size1Dev;
    float lifetime, lifetimeDev;
    float positionDev[3];
    float speed[3];
    float speedDev[3];
    float gravity, gravityDev;
    int32_t blendType;  // 0 added light, 1 ordinary transparency
    int32_t picture;
    float rotation, rotationDev;
    float spin, spinDev;
    float effectTime;  // 0: a one-off burst
    float particleOrbit[4];  // radius, radius speed, angle, angle speed
    float particleOrbitDev[4];
    float particleWobbleX[3];  // amplitude, rate, phase
    float particleWobbleY[3];
    int32_t burstSymmetry;
    int32_t particleSymmetry;
    float emitterOrbit[4];
    float emitterOrbitDev[4];
    float emitterWobbleX[3];
    float emitterWobbleY[3];
    float sleep;  // read and kept; nothing uses it
};
static_assert(sizeof(EffectTemplate) == 576, "the template record keeps its size");

struct Emitter {
    int32_t templateNumber = -1;  // -1: never started
    int32_t picture;
    float scale;
    float elapsed;
    float position[3];
    float velocity[3];  // units per millisecond
    float countdown;
    float orbit[4];
    float interval;
};

struct Particle {
    int32_t templateNumber;
    float age;
    int32_t picture;
    float position[3];
    float velocity[3];  // units per second
    float rotation;
    float spin;
    float orbit[4];
    float size0;
    float size1;
    float colour0[4];
    float colour1[4];
    float lifetime;
    float gravity;
};

struct ParticleDrawItem {
    float position[3];
    float rotation;
    float size;
    uint32_t colour;  // ARGB
    int32_t blendType;
    int32_t picture;
};

struct EffectsState {
    EffectTemplate templates[kMaxEffectTemplates];
    int templateCount = 0;
    Emitter emitters[kEmitterRing];
    int nextEmitter = 0;
    Particle particles[kParticleRing];
    int nextParticle = 0;
    ParticleDrawItem items[kMaxDrawItems];
    int itemCount = 0;
    TextureEntry* sheet = nullptr;
    int sheetColumns = 1;
    int sheetRows = 1;
    // The chain limit of external effects.
    int externalCount = 0;
    float lastExternalMs = 0.0f;
    bool externalSeen = false;
};

EffectsState& effectsState();
// Forgets the templates, the sheet and every emitter and particle (tests, a fresh run).
void resetEffects();

// Fills a template from the text of a "*.par" file (defaults for absent keys); the name is
// cut to 31 characters.
void readEffectTemplate(const char* text, const char* name, EffectTemplate& out);
// Appends a template (false when the table is full).
bool addEffectTemplate(const EffectTemplate& effect);
// The sheet's cells of 64 x 64 pixels.
void setParticleSheet(TextureEntry* sheet);

void loadEffects();
void updateAndDrawParticles();
void clearEffects();
int findEffect(const char* name);
// A target of (-1000000, -1000000) keeps the effect where it starts; pic -1 keeps the template's.
void startEffect(const char* name, float x, float y, float targetX = kStayInPlace, float targetY = kStayInPlace,
                 float scale = 1.0f, int pic = -1);
void spawnParticle(float x, float y, float z, int templateNumber, float scale, int pic);
void drawParticleSprite(float x, float y, float z, float rotation, float size, unsigned colour, int pic);

// The per-frame step in its two halves: moving (emitters emit, particles age) and drawing
// the items that the move listed.
void updateParticles(float dtMs);
void drawParticleItems();
int liveParticleCount();
int activeEmitterCount();
