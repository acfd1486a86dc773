// Sound cues, ambience and the music module.
#pragma once

bool initAudio();
void loadSounds();
void playSound(const char* name);
void playSoundAtFrequency(const char* name, int frequency);
void updateAudio();
void fadeToMusicSection(int section);
void switchMusicSection(int section);
void applyVolumes();
void pauseAudio();
void resumeAudio();
void shutdownAudio();
