// Particle effects.
#pragma once

void loadEffects();
void updateAndDrawParticles();
void clearEffects();
