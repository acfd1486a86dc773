#include "progress/map.h"

#include "audio/audio.h"

// Not written yet: the journey map issue fills these in.
namespace {
int gMapView = 0;
}

int mapView() { return gMapView; }
// The opening transition of a change comes with the journey map issue.
void setMapView(int view) { gMapView = view; }
void loadMapSpline() {}
void loadMapAssets() {}
// The map scene's frame keeps the audio going; the map itself comes with the journey map issue.
void mapFrame() { updateAudio(); }
void advanceScreenTransition() {}
void advanceAmbientEffects() {}
