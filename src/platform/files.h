// The current-folder services and simple file questions. The game's data names are
// Windows names: folders such as "Sounds" and "AnimBacks" are found whatever their case.
#pragma once

#include <string>

namespace platform {

std::string currentDir();
bool changeDir(const char* path);  // false when the folder cannot be entered
bool makeDir(const char* path);    // true when it exists afterwards
bool isRegularFile(const char* path);
bool isDirectory(const char* path);

// The folder of the running executable (from /proc/self/exe), without a trailing slash.
std::string executableDir();

}  // namespace platform
