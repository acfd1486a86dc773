#include "progress/atomic_save.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {
struct WriteFaults {
    int step = 0;
    int times = 0;
};
WriteFaults gFaults;

bool failsAt(int step) {
    if (gFaults.times <= 0 || gFaults.step != step) return false;
    return true;
}

void syncFolderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    std::string dir = slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
    int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}
}  // namespace

void failNextWrites(int step, int times) {
    gFaults.step = step;
    gFaults.times = times;
}

bool writeWholeFile(const char* path, const void* bytes, size_t length) {
    if (!path || (!bytes && length > 0)) return false;
    bool armed = gFaults.times > 0;
    std::string target = path;
    std::string tmp = target + ".tmp";
    bool ok = false;
    FILE* f = failsAt(1) ? nullptr : std::fopen(tmp.c_str(), "wb");
    if (f) {
        ok = true;
        if (length > 0 && (failsAt(2) || std::fwrite(bytes, 1, length, f) != length)) ok = false;
        if (ok && (failsAt(3) || std::fflush(f) != 0)) ok = false;
        if (ok && (failsAt(4) || fsync(fileno(f)) != 0)) ok = false;
        if (std::fclose(f) != 0 || failsAt(5)) ok = false;
        if (ok && (failsAt(6) || std::rename(tmp.c_str(), target.c_str()) != 0)) ok = false;
        if (!ok) std::remove(tmp.c_str());
    }
    if (armed) gFaults.times -= 1;
    if (ok) syncFolderOf(target);
    return ok;
}
