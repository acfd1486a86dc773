// Animated backdrops, scene objects and the artefact pictures.
#pragma once

void loadGameObjects();
void loadArtefactPictures();
