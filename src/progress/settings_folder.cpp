#include "progress/settings_folder.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/application.h"
#include "platform/fatal.h"
#include "platform/files.h"

namespace {

struct FolderState {
    std::string folder;  // ends without '/'
    std::string forced;  // a playback's own folder, used instead of every other
};
FolderState gFolder;

bool usable(const std::string& path) { return platform::isDirectory(path.c_str()) && access(path.c_str(), W_OK | X_OK) == 0; }

bool makePrivateDir(const std::string& path) {
    if (mkdir(path.c_str(), 0700) == 0) return true;
    return errno == EEXIST && platform::isDirectory(path.c_str());
}

std::string fallbackBase() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/') return xdg;
    const char* home = std::getenv("HOME");
    if (!home || home[0] != '/') return std::string();
    return std::string(home) + "/.local/share";
}

std::string dataFolder() {
    std::string data = application().dataFolder;
    if (data.empty()) data = platform::currentDir() + "/";
    return data;
}

std::string fallbackFolder() {
    std::string base;
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/') {
        base = xdg;
        // Each missing folder on the way is made private to the user.
        for (size_t slash = base.find('/', 1); slash != std::string::npos; slash = base.find('/', slash + 1))
            makePrivateDir(base.substr(0, slash));
        makePrivateDir(base);
    } else {
        const char* home = std::getenv("HOME");
        if (!home || home[0] != '/') return std::string();
        base = std::string(home) + "/.local";
        makePrivateDir(base);
        base += "/share";
        makePrivateDir(base);
    }
    std::string folder = base + "/sandmere";
    if (!makePrivateDir(folder)) return std::string();
    folder += "/settings";
    if (!makePrivateDir(folder)) return std::string();
    return folder;
}

}  // namespace

const std::string& findSettingsFolder() {
    if (!gFolder.forced.empty()) {
        gFolder.folder = gFolder.forced;
        return gFolder.folder;
    }
    std::string data = dataFolder();
    std::string primary = data + "settings";
    if (application().installed) {
        std::string base = fallbackBase();
        gFolder.folder = base.empty() ? primary : base + "/sandmere/settings";
        return gFolder.folder;
    }
    bool canMake = !platform::isDirectory(primary.c_str()) && !platform::isRegularFile(primary.c_str()) &&
                   access(data.c_str(), W_OK | X_OK) == 0;
    if (usable(primary) || canMake) {
        gFolder.folder = primary;
        return gFolder.folder;
    }
    std::string base = fallbackBase();
    gFolder.folder = base.empty() ? primary : base + "/sandmere/settings";
    return gFolder.folder;
}

const std::string& enterSettingsFolder() {
    if (!gFolder.forced.empty()) {
        gFolder.folder = gFolder.forced;
        return gFolder.folder;
    }
    std::string primary = dataFolder() + "settings";
    // An installed data set is the system's: the players' files always go to the user's folder.
    bool own = !application().installed;
    if (own && !platform::isDirectory(primary.c_str())) platform::makeDir(primary.c_str());
    if (own && usable(primary)) {
        gFolder.folder = primary;
        return gFolder.folder;
    }
    std::string second = fallbackFolder();
    if (second.empty() || !usable(second)) platform::fatal("Can't save settings...\nProgram will now stop.", "Writing Error");
    gFolder.folder = second;
    return gFolder.folder;
}

const std::string& settingsFolder() { return gFolder.folder; }

void setSettingsFolder(const std::string& folder) { gFolder.folder = folder; }

void forceSettingsFolder(const std::string& folder) {
    gFolder.forced = folder;
    gFolder.folder = folder;
}

std::string settingsPath(const char* name) { return gFolder.folder + "/" + (name ? name : ""); }

FileRead readSettingsFile(const char* name, std::vector<uint8_t>& out, size_t capacity) {
    FileRead result;
    out.clear();
    std::string path = platform::resolvePath(settingsPath(name).c_str());
    // Opened without waiting: a FIFO or a device under a player's name is refused by fstat
    // below instead of holding the start until someone writes to it.
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        result.unreadable = errno != ENOENT;
        return result;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0) {
        close(fd);
        result.unreadable = true;
        return result;
    }
    result.present = true;
    result.size = static_cast<size_t>(st.st_size);
    size_t want = result.size < capacity ? result.size : capacity;
    out.resize(want);
    size_t got = 0;
    bool failed = false;
    while (got < want) {
        ssize_t n = read(fd, out.data() + got, want - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            failed = true;
            break;
        }
        got += static_cast<size_t>(n);
    }
    close(fd);
    out.resize(got);
    result.whole = got == result.size;
    result.unreadable = failed;
    return result;
}

FileRead loadSettingsFile(const char* name, std::vector<uint8_t>& out, size_t capacity) {
    FileRead read = readSettingsFile(name, out, capacity);
    if (!read.unreadable) return read;
    char text[256];
    std::snprintf(text, sizeof text, "Can't load %s...\nProgram will now stop.", name);
    platform::fatal(text, "Loading Error");
}

bool writeSettingsFile(const char* name, const std::vector<uint8_t>& bytes) {
    std::string path = settingsPath(name);
    return platform::writeFileAtomic(path.c_str(), bytes.data(), bytes.size());
}

void saveSettingsFile(const char* name, const std::vector<uint8_t>& bytes) {
    if (writeSettingsFile(name, bytes)) return;
    char text[256];
    std::snprintf(text, sizeof text, "Can't save %s...\nProgram will now stop.", name);
    platform::fatal(text, "Writing Error");
}

bool settingsFileExists(const char* name) {
    std::string path = settingsPath(name);
    return platform::isRegularFile(path.c_str());
}

bool moveSettingsFile(const char* from, const char* to) {
    std::string a = settingsPath(from);
    std::string b = settingsPath(to);
    if (std::rename(a.c_str(), b.c_str()) != 0) return false;
    int dir = open(gFolder.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return true;
}

bool removeSettingsFile(const char* name) {
    std::string path = settingsPath(name);
    return unlink(path.c_str()) == 0 || errno == ENOENT;
}
