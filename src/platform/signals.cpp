#include "platform/signals.h"

#include <csignal>

namespace platform {

namespace {
volatile std::sig_atomic_t gCloseSignal = 0;

void onSignal(int) { gCloseSignal = 1; }
}  // namespace

void installSignalHandlers() {
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool signalCloseRequested() {
    if (!gCloseSignal) return false;
    gCloseSignal = 0;
    return true;
}

void resetSignalClose() { gCloseSignal = 0; }

}  // namespace platform
