#include "audio/audio.h"

// Not written yet: the audio issue fills these in.
bool initAudio() { return false; }
void loadSounds() {}
void playSound(const char*) {}
void playSoundAtFrequency(const char*, int) {}
void updateAudio() {}
void fadeToMusicSection(int) {}
void switchMusicSection(int) {}
void applyVolumes() {}
void pauseAudio() {}
void resumeAudio() {}
void shutdownAudio() {}
