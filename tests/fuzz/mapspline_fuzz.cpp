// The journey path ("mapspline.spl"): any bytes read as a path, walked along at every stage and
// beyond its ends, and the map's sequence of a won level run over it (traveller, sparkles,
// path strokes), which must end however long or damaged the path is.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "app/frame_clock.h"
#include "platform/random.h"
#include "progress/game_modes.h"
#include "progress/map.h"
#include "progress/profiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes(data, data + size);
    MapPath& path = mapPath();
    readMapSpline(bytes.data(), static_cast<int32_t>(bytes.size()), path);
    if (path.count < 0 || path.count > kMaxPathPoints) std::abort();
    if (size < 8 ? path.count != 0 : static_cast<size_t>(path.count) > (size - 8) / 8) std::abort();
    if (!std::isfinite(path.length) || path.length < 0.0f) std::abort();
    for (float d : {-1.0f, 0.0f, 7.5f, 19.99f, 20.0f, path.length / 2.0f, path.length, path.length + 1.0f, 1e30f})
        (void)pointAt(d);
    platform::srand(3);
    resetMap();
    setMapView(1);
    resetScreenTransition();
    frameClock().frameMs = 16.0f;
    setupMap(8, 9, -1);
    setupMap(9, 9, 8);  // the last level of stage 1 won for the first time
    for (int f = 0; f < 500; ++f) {
        moveTraveller(16.0f);
        updateMapTimers(16.0f);
        if (mapState().panel.state == 2) {
            float x, y, w, h;
            stagePanelButton(x, y, w, h);
            mapPressAt(x, y);
        }
    }
    // The completed game draws the strokes of every stage (and no labels, whose level preview
    // would need the level files).
    markGameCompleted();
    setupMap(0, 0, -1);
    for (int f = 0; f < 300; ++f) {
        moveTraveller(16.0f);
        updateMapTimers(16.0f);
        if (f % 50 == 0) drawJourneyMap();
    }
    clearGameCompleted();
    for (int s = 0; s < kStageCount; ++s) {
        float x, y;
        stageIconAt(s, x, y);
        mapPressAt(x, y);
    }
    return 0;
}
