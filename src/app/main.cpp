// Sandmere: the program entry.
#include <cstdlib>

#include "app/application.h"
#include "platform/memory.h"
#include "platform/window.h"

int main() {
    platform::returnFreedMemoryEarly();
    const char* headless = std::getenv("SANDMERE_HEADLESS");
    if (headless && *headless) platform::setHeadless(true);
    return runApplication();
}
