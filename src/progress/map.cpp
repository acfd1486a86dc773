#include "progress/map.h"

#include "audio/audio.h"
#include "render/backdrops.h"
#include "render/device.h"

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
void mapFrame() {
    // The main menus and the credits stand on the animated backdrop.
    if (gMapView != 1) {
        begin2D();
        drawStillBackdrop();
    }
    updateAudio();
}
void advanceScreenTransition() {}
void advanceAmbientEffects() {}
