// The current profile's trophies: 17 pairs of flags (new, earned), kept in "%s.trp".
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int kTrophyCount = 17;   // trophies are numbered 1..17
constexpr size_t kTrophyFileBytes = 34;

struct TrophyState {
    uint8_t isNew[kTrophyCount];   // earned and not yet presented in the trophy room
    uint8_t earned[kTrophyCount];
};

TrophyState& trophyState();
void encodeTrophyState(const TrophyState& state, std::vector<uint8_t>& out);
// Uses the first min(size, 34) bytes, zero for the rest, every flag made 0 or 1.
void decodeTrophyState(const uint8_t* bytes, size_t size, TrophyState& out);

// The profile's file: a missing file (or a name that cannot name a file) gives no trophies.
void loadTrophyState(const char* profileName);
void clearTrophyState();
// Writes the profile's file at once; a failure is the fatal "Can't save %s...".
void writeTrophyState(const char* profileName);

// Earns trophy k (1..17) for the current profile and writes its file; true when newly earned.
bool awardTrophy(int k);
bool trophyEarned(int k);
bool trophyIsNew(int k);
// The trophy room presented it: the new flag goes, and the file is written.
void clearTrophyNew(int k);
// The lowest-numbered trophy still to present, or 0.
int nextNewTrophy();
