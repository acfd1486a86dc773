#include "render/backdrops.h"

// Not written yet: the backdrops issue fills these in.
void loadGameObjects() {}
void loadArtefactPictures() {}
