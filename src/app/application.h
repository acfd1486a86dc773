// The application: start-up, the message and frame loop, frame timing and shutdown.
#pragma once

#include <string>

#include "app/frame_clock.h"
#include "platform/window.h"

struct ApplicationState {
    std::string installFolder;
    std::string dataFolder;  // ends with '/'
    bool installed = false;  // the data set of an installed game: read-only, players' files elsewhere
    int clientWidth = 800;
    int clientHeight = 600;
    bool fullScreen = true;
    bool windowed = false;
    bool verticalSync = false;
    bool active = true;
    bool quitRequested = false;
    bool loadRequested = false;
    bool dataLoaded = false;
    bool debugOverlay = false;
    bool focusLost = false;     // activation calls the scene only after a loss
    bool closeHandled = false;  // close runs its handling once
    uint32_t frameStartMs = 0;
    uint32_t presentedMs = 0;  // when the last frame went to the window (the click timer reads it)
};

// Where the data folder is: the installed one beside the executable's prefix
// ("../share/sandmere/Data"), else "Data" in the working folder, else "Data" beside the
// executable. An empty folder when there is none.
struct DataFolderChoice {
    std::string folder;
    bool installed = false;
};
DataFolderChoice locateDataFolder(const std::string& workDir, const std::string& exeDir);

ApplicationState& application();
void resetApplicationState();

// How start-up went: run the loop, or end at once with this exit code.
struct StartResult {
    bool run;
    int exitCode;
};

// The play runner starts without the single-instance guard, so tests may run side by side.
StartResult startUp(bool singleInstance = true);
void loopTurn();  // one turn: one event, or else one frame (and the loading when asked)
bool handlePendingEvent();  // one queued event; false when the queue is empty
void frameTurn();           // the turn without events: idle while inactive, else a frame
void runFrame();
void handleEvent(const platform::Event& event);
int shutDown();
int runApplication();  // the whole program; returns the exit code
