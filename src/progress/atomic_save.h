// Replacing a file whole: the old file stays untouched unless the new one is complete.
#pragma once

#include <cstddef>

// "<path>.tmp" is written (every count checked), flushed, synced and closed, then renamed
// over path. On any failure the temporary file goes and false is returned.
bool writeWholeFile(const char* path, const void* bytes, size_t length);

// Tests: the next `times` writes fail at the given step (0 none, 1 open, 2 write, 3 flush,
// 4 sync, 5 close, 6 rename).
void failNextWrites(int step, int times);
