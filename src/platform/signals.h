// SIGINT and SIGTERM close the game as the window's close button does.
#pragma once

namespace platform {

void installSignalHandlers();
bool signalCloseRequested();  // true once, after a signal arrived
void resetSignalClose();

}  // namespace platform
