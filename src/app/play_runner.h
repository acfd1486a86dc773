// The scripted play runner: the real start-up, frame loop and scenes on the headless backend
// with a virtual clock. Tests and tools inject keys and mouse events at given frames and
// capture frames to PNG.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/window.h"

class PlayRunner {
public:
    // installFolder holds the Data/ folder. Each frame lasts msPerFrame of virtual time.
    explicit PlayRunner(std::string installFolder, uint32_t msPerFrame = 16);
    ~PlayRunner();

    // Runs the start-up. False when it ended the program (the exit code is kept).
    bool start();
    // Runs n frames; events scheduled for a frame are handled before it.
    void frames(int count);
    // Runs frames until at least this much virtual time has passed.
    void runFor(uint32_t ms);
    // A playback (startPlayback before start): runs it to its end, its close included, and
    // returns the exit code.
    int playToEnd();
    // Ends the run as the close button does, then shuts down; returns the exit code.
    int close();

    // Events for the next frame (or for a given frame number with the `at` forms).
    void key(int virtualKey);
    void moveTo(float x, float y);        // logical coordinates: origin centre, y up
    void click(float x, float y);         // move, left down, left up
    void doubleClick(float x, float y);   // move, down, up, double click, up
    void rightClick(float x, float y);
    void send(const platform::Event& event);
    void at(int frame, const platform::Event& event);

    bool capture(const std::string& pngPath);  // the last presented frame

    int frame() const { return frameNumber_; }
    uint32_t now() const;
    int exitCode() const { return exitCode_; }
    bool running() const { return running_; }

private:
    struct Scheduled {
        int frame;
        platform::Event event;
    };
    void drainEvents();

    std::string installFolder_;
    std::string previousFolder_;
    uint32_t msPerFrame_;
    int frameNumber_ = 0;
    int exitCode_ = 0;
    bool running_ = false;
    std::vector<Scheduled> scheduled_;
};

// Resets every module the runner touches, for a fresh run in the same process.
void resetGameState();
