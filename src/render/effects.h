// Particle effects.
#pragma once

void loadEffects();
void updateAndDrawParticles();
void clearEffects();
int findEffect(const char* name);
// A target of (-1000000, -1000000) keeps the effect where it starts; pic -1 keeps the template's.
void startEffect(const char* name, float x, float y, float targetX = -1000000.0f, float targetY = -1000000.0f,
                 float scale = 1.0f, int pic = -1);
void spawnParticle(float x, float y, float z, int templateNumber, float scale, int pic);
void drawParticleSprite(float x, float y, float z, float rotation, float size, unsigned colour, int pic);
