// Recorded sessions: every input the scenes receive, with every frame's deltaMs, the random
// seed and the players' files the session started from, so that a playback takes the very
// same path through the game and ends in the same state. The file layout is in the README.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/window.h"

constexpr uint8_t kReplayFormat = 1;
constexpr size_t kReplayNameLength = 64;      // program version, player file names
constexpr size_t kReplayStartFiles = 64;
constexpr size_t kReplayFileBytes = 1u << 20;  // each player file

enum class ReplayRecordKind : uint8_t {
    Frames = 'F',  // `count` frames, each with this deltaMs
    Seed = 'S',    // the seed the loading sequence gave the random generator
    Cursor = 'C',  // the cursor as the scenes read it from now on
    Event = 'E',   // one window event handed to the current scene
    End = 'Z',     // the digest of the recorded session's end; always the last record
};

struct ReplayRecord {
    ReplayRecordKind kind = ReplayRecordKind::Frames;
    uint32_t deltaMs = 0;  // Frames
    uint32_t count = 0;    // Frames
    uint32_t seed = 0;     // Seed
    float x = 0.0f;        // Cursor, picture pixels
    float y = 0.0f;
    bool inside = false;
    platform::Event event;  // Event
    uint64_t digest = 0;    // End
};

struct ReplayStartFile {
    std::string name;
    std::vector<uint8_t> bytes;
};

struct Replay {
    std::string version;
    uint32_t dataSetBytes = 0;
    uint64_t levelHash = 0;
    std::vector<ReplayStartFile> files;
    std::vector<ReplayRecord> records;
    bool hasEnd = false;
    uint64_t endDigest = 0;
    uint64_t frameCount = 0;
};

// Reads a whole replay file image; on failure `error` says what is wrong and where.
bool parseReplay(const uint8_t* data, size_t size, Replay& out, std::string& error);
// The image of a replay (what the recorder writes, in one piece).
void encodeReplay(const Replay& replay, std::vector<uint8_t>& out);

// The program version and the data set's identity: a hash of the level files' names and bytes.
const char* programVersion();
uint64_t levelFilesHash(const std::string& dataFolder);
// FNV-1a, 64 bits: the hash of the level files and of the end digest.
uint64_t hashBytes(uint64_t hash, const void* bytes, size_t length);
constexpr uint64_t kHashStart = 1469598103934665603ull;

// The end state: the board (its cells, level, score and outcome) and every player file of the
// settings folder, names and bytes.
uint64_t endDigest();
std::string digestText(uint64_t digest);  // 16 hex digits

// ---- The session's side: the application calls these where its input enters ----

enum class ReplayMode { Off, Recording, Playing };

// Before start-up: record into this file, or play this replay (already read and checked).
bool startRecording(const std::string& path, std::string& error);
void startPlayback(Replay replay, bool pacedInWindow);
ReplayMode replayMode();
// Start-up, once the data folder is known: the recorder writes its header and the players'
// files; the playback checks the data set and gives the game a settings folder of its own
// holding the recorded files. False (with a message) when the replay is for another game.
bool replayStartUp(const std::string& dataFolder, std::string& error);
// The events the scenes receive, the cursor they read, every frame's deltaMs, the seed.
void recordEvent(const platform::Event& event);
void recordFrameStart();
uint32_t frameDelta(uint32_t measured);
uint32_t sessionSeed(uint32_t fromClock);
// Playback: the next recorded event of this frame; false when the frame is due (or the
// recording has run out, see playbackFinished).
bool nextPlaybackEvent(platform::Event& out);
bool playbackFinished();
bool playbackPaced();  // a windowed playback keeps the recorded pace
bool playbackHasEnd(uint64_t& digest);  // the recorded session's end digest, when it has one
// The deltaMs the next frame will take (the virtual clock of a headless playback moves by it).
uint32_t nextFrameDelta();
// After shut-down: the recorder writes the end record and closes its file; the playback
// compares its end with the recorded one. Returns the end digest.
uint64_t finishReplay();
const std::string& playbackFolder();  // the playback's own settings folder
// Stops recording or playback and removes the playback's settings folder.
void resetReplay();
