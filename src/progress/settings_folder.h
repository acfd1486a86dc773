// The settings folder: where the players' files live, and the file services the progress
// code uses there. Names are plain file names inside the folder; per-profile names are built
// only from names that passed isValidProfileName.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// "settings" under the data folder, created when missing; when that cannot be created or
// written, and always for an installed game, $XDG_DATA_HOME/sandmere/settings (default
// ~/.local/share/sandmere/settings, 0700).
// When neither works: the fatal "Can't save settings...". Returns the folder.
const std::string& enterSettingsFolder();
// The folder the settings are read from at start, without creating anything: the data
// folder's "settings" when it exists or can be made later, else the user's data folder.
const std::string& findSettingsFolder();
const std::string& settingsFolder();  // empty before enterSettingsFolder
void setSettingsFolder(const std::string& folder);  // tests
// A playback keeps the players' files in a folder of its own: find and enter give this one
// while it is set (empty lets them choose again).
void forceSettingsFolder(const std::string& folder);
std::string settingsPath(const char* name);

struct FileRead {
    bool present = false;     // a regular file of that name exists
    size_t size = 0;          // its size on disk
    bool whole = false;       // every byte was read (size <= capacity)
    bool unreadable = false;  // something of that name exists but could not be read
};
// Reads the file when it is a regular file of at most capacity bytes.
FileRead readSettingsFile(const char* name, std::vector<uint8_t>& out, size_t capacity);
// The same for a file that must not be replaced unread: the fatal "Can't load %s..." when
// something of that name exists but cannot be read (a missing file is simply absent).
FileRead loadSettingsFile(const char* name, std::vector<uint8_t>& out, size_t capacity);
// Replaces the file whole, or leaves the old one untouched and returns false.
bool writeSettingsFile(const char* name, const std::vector<uint8_t>& bytes);
// The fatal "Can't save %s..." when the write fails.
void saveSettingsFile(const char* name, const std::vector<uint8_t>& bytes);
bool settingsFileExists(const char* name);
// rename() inside the folder; true when the file was moved.
bool moveSettingsFile(const char* from, const char* to);
// unlink; a missing file counts as removed.
bool removeSettingsFile(const char* name);
