// The single-instance guard: a per-user lock file held for the whole run. The kernel
// releases the lock on any exit, so a crash never leaves a stale guard.
#pragma once

namespace platform {

// True when this process now holds the lock; false when another copy holds it.
// A lock file that cannot be opened at all does not stop the game (true).
bool acquireInstanceLock();
void releaseInstanceLock();  // for tests

}  // namespace platform
