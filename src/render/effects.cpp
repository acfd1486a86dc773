#include "render/effects.h"

// Not written yet: the particle effects issue fills these in.
void loadEffects() {}
void updateAndDrawParticles() {}
void clearEffects() {}
