// How the process's heap gives memory back.
#pragma once

namespace platform {

// Large blocks (decoded pictures, texture staging, decoded cues) come from and go back to the
// system at once, and freed memory at the top of the heap is returned soon, so that the
// loading's passing buffers do not stay resident for the rest of the game. The game calls it
// first thing.
void returnFreedMemoryEarly();

}  // namespace platform
