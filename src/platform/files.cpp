#include "platform/files.h"

#include <cerrno>
#include <climits>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace platform {

std::string currentDir() {
    std::vector<char> buffer(4096);
    while (true) {
        if (getcwd(buffer.data(), buffer.size())) return std::string(buffer.data());
        if (errno != ERANGE || buffer.size() > (1u << 20)) return std::string();
        buffer.resize(buffer.size() * 2);
    }
}

bool changeDir(const char* path) { return path && chdir(path) == 0; }

bool makeDir(const char* path) {
    if (!path) return false;
    if (mkdir(path, 0755) == 0) return true;
    return isDirectory(path);
}

bool isRegularFile(const char* path) {
    struct stat st {};
    return path && stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

bool isDirectory(const char* path) {
    struct stat st {};
    return path && stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

std::string executableDir() {
    std::vector<char> buffer(PATH_MAX + 1);
    ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0) return std::string();
    std::string path(buffer.data(), static_cast<size_t>(n));
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace platform
