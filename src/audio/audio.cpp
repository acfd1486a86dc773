#include "audio/audio.h"

#include "app/trace.h"

// Not written yet: the audio issue fills these in.
bool initAudio() { return false; }
void loadSounds() {}
void playSound(const char* name) { traceCall("sound", name, 0, 0, 44100); }
void playSoundAtFrequency(const char* name, int frequency) { traceCall("sound", name, 0, 0, frequency); }
void updateAudio() {}
void fadeToMusicSection(int) {}
void switchMusicSection(int) {}
void applyVolumes() {}
void pauseAudio() {}
void resumeAudio() {}
void shutdownAudio() {}
