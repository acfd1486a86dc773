// The journey map, the map scene's backgrounds and the screen transition.
#pragma once

// 0 animated backdrop, 1 journey map, 4 backdrop for the credits.
int mapView();
void setMapView(int view);  // a change starts the opening screen transition
void loadMapSpline();
void loadMapAssets();
void mapFrame();
void advanceScreenTransition();
void advanceAmbientEffects();
