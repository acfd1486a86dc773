#include "render/effects.h"

#include "app/trace.h"

// Not written yet: the particle effects issue fills these in.
void loadEffects() {}
void updateAndDrawParticles() {}
void clearEffects() {}
int findEffect(const char*) { return -1; }
void startEffect(const char* name, float x, float y, float, float, float, int) { traceCall("effect", name, x, y); }
void spawnParticle(float, float, float, int, float, int) {}
void drawParticleSprite(float, float, float, float, float, unsigned, int) {}
