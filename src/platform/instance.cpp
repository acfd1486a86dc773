#include "platform/instance.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <unistd.h>

namespace platform {

namespace {
int gLockFd = -1;

std::string lockPath() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime) return std::string(runtime) + "/sandmere.lock";
    return "/tmp/sandmere-" + std::to_string(getuid()) + ".lock";
}
}  // namespace

bool acquireInstanceLock() {
    if (gLockFd >= 0) return true;
    std::string path = lockPath();
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return true;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int err = errno;
        close(fd);
        return err != EWOULDBLOCK;
    }
    gLockFd = fd;
    return true;
}

void releaseInstanceLock() {
    if (gLockFd >= 0) {
        close(gLockFd);
        gLockFd = -1;
    }
}

}  // namespace platform
