#include "progress/trophies.h"

#include "audio/audio.h"
#include "render/backdrops.h"
#include "render/device.h"

// Not written yet: the trophies issue fills these in.
void loadTrophies() {}
// The room's frame keeps the audio going; the room itself comes with the trophies issue.
void trophyRoomFrame() {
    begin2D();
    drawStillBackdrop();
    updateAudio();
}
void trophyRoomKeyStep(int) {}
void trophyRoomPress() {}
void trophyRoomDoubleClick() {}
void trophyRoomRelease() {}
void trophyRoomHover() {}
