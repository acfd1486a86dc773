// The current-folder services and simple file questions. The game's data names are
// Windows names: folders such as "Sounds" and "AnimBacks" are found whatever their case.
//
// Every disk open, folder entry and listing goes through resolvePath: the exact path first,
// otherwise each part of the path is matched without regard to ASCII case against its folder
// (the first match in sorted order). Backslashes in game names ("field\field0.tga") become
// folder separators here, only when the disk is touched.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace platform {

std::string currentDir();
bool changeDir(const char* path);  // false when the folder cannot be entered
bool makeDir(const char* path);    // true when it exists afterwards
bool isRegularFile(const char* path);
bool isDirectory(const char* path);

// The folder of the running executable (from /proc/self/exe), without a trailing slash.
std::string executableDir();

// The disk path for a game path. Parts that exist under another case are replaced by the
// name on the disk; the first part that does not exist, and everything after it, stays as
// given (so a new file is created under the name the game uses).
std::string resolvePath(const char* path);

// fopen on the resolved path; a folder is never opened as a file.
FILE* openFile(const char* path, const char* mode);

// Reads a whole regular file. False when it is missing, not a regular file or not read whole.
bool readWholeFile(const char* path, std::vector<uint8_t>& out);

// The regular files of a folder whose names end in extension ("par", ".par" or "*.par"; the
// case does not matter; empty or null takes every file), sorted ASCII-case-insensitively.
// Bare names, without the folder.
std::vector<std::string> listFiles(const char* folder, const char* extension);

bool removeFile(const char* path);

// Writes a file so that it is either replaced whole or left as it was: the bytes go into
// "<name>.tmp" in the same folder, every write is checked, the file is flushed, synced and
// closed, and only then renamed over the target. Whatever stood under the temporary name is
// removed first and the file is created afresh (never through a link). On any failure the
// temporary file is removed, the old file is untouched and false is returned.
bool writeFileAtomic(const char* path, const void* bytes, size_t length);

// Tests: make one step of the next atomic writes fail. The failure stays armed for `times`
// writes (0 disarms).
enum class WriteStep { None, Open, Write, Flush, Sync, Close, Rename };
void failWriteStep(WriteStep step, int times = 1);

// ASCII-only case-insensitive comparison of two names (the order of listings).
int compareNamesNoCase(const char* a, const char* b);

}  // namespace platform
