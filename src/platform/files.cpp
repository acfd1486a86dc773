#include "platform/files.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

namespace platform {

namespace {

struct FilesState {
    WriteStep failStep = WriteStep::None;
    int failTimes = 0;
};
FilesState gFiles;

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool equalNoCase(const char* a, const char* b) {
    while (*a && *b) {
        if (lowerAscii(*a) != lowerAscii(*b)) return false;
        ++a;
        ++b;
    }
    return *a == *b;
}

// Listing order: ASCII-case-insensitive, ties broken by the bytes so the order is total.
bool listedBefore(const std::string& a, const std::string& b) {
    int c = compareNamesNoCase(a.c_str(), b.c_str());
    return c != 0 ? c < 0 : a < b;
}

bool pathExists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

// The first name in folder (in listing order) equal to name without regard to ASCII case.
bool findNoCase(const std::string& folder, const std::string& name, std::string& found) {
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return false;
    bool any = false;
    while (dirent* e = readdir(dir)) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
        if (!equalNoCase(e->d_name, name.c_str())) continue;
        std::string candidate(e->d_name);
        if (!any || listedBefore(candidate, found)) found = candidate;
        any = true;
    }
    closedir(dir);
    return any;
}

std::string folderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

void syncFolder(const std::string& folder) {
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    fsync(fd);  // best effort: some file systems refuse to sync a folder
    close(fd);
}

}  // namespace

int compareNamesNoCase(const char* a, const char* b) {
    const unsigned char* pa = reinterpret_cast<const unsigned char*>(a ? a : "");
    const unsigned char* pb = reinterpret_cast<const unsigned char*>(b ? b : "");
    while (true) {
        int ca = static_cast<unsigned char>(lowerAscii(static_cast<char>(*pa)));
        int cb = static_cast<unsigned char>(lowerAscii(static_cast<char>(*pb)));
        if (ca != cb || ca == 0) return ca - cb;
        ++pa;
        ++pb;
    }
}

std::string resolvePath(const char* path) {
    if (!path) return std::string();
    std::string given(path);
    std::replace(given.begin(), given.end(), '\\', '/');
    if (given.empty() || pathExists(given)) return given;

    std::string out;
    size_t i = 0;
    if (given[0] == '/') {
        out = "/";
        i = 1;
    }
    bool resolving = true;
    while (true) {
        size_t j = given.find('/', i);
        bool last = (j == std::string::npos);
        if (last) j = given.size();
        std::string part = given.substr(i, j - i);
        if (resolving && !part.empty() && part != "." && part != "..") {
            if (!pathExists(out + part)) {
                std::string found;
                if (findNoCase(out, part, found)) part = found;
                else resolving = false;  // the rest does not exist: keep it as given
            }
        }
        out += part;
        if (last) break;
        out += '/';
        i = j + 1;
    }
    return out;
}

std::string currentDir() {
    std::vector<char> buffer(4096);
    while (true) {
        if (getcwd(buffer.data(), buffer.size())) return std::string(buffer.data());
        if (errno != ERANGE || buffer.size() > (1u << 20)) return std::string();
        buffer.resize(buffer.size() * 2);
    }
}

bool changeDir(const char* path) {
    if (!path || !*path) return false;
    return chdir(resolvePath(path).c_str()) == 0;
}

bool makeDir(const char* path) {
    if (!path || !*path) return false;
    std::string resolved = resolvePath(path);
    if (mkdir(resolved.c_str(), 0755) == 0) return true;
    return isDirectory(resolved.c_str());
}

bool isRegularFile(const char* path) {
    if (!path) return false;
    struct stat st {};
    return stat(resolvePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool isDirectory(const char* path) {
    if (!path) return false;
    struct stat st {};
    return stat(resolvePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string executableDir() {
    std::vector<char> buffer(PATH_MAX + 1);
    ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0) return std::string();
    std::string path(buffer.data(), static_cast<size_t>(n));
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

FILE* openFile(const char* path, const char* mode) {
    if (!path || !*path || !mode) return nullptr;
    std::string resolved = resolvePath(path);
    struct stat st {};
    if (stat(resolved.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return nullptr;
    return std::fopen(resolved.c_str(), mode);
}

bool readWholeFile(const char* path, std::vector<uint8_t>& out) {
    out.clear();
    FILE* f = openFile(path, "rb");
    if (!f) return false;
    struct stat st {};
    bool ok = fstat(fileno(f), &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= 0;
    if (ok) {
        out.resize(static_cast<size_t>(st.st_size));
        ok = out.empty() || std::fread(out.data(), 1, out.size(), f) == out.size();
    }
    std::fclose(f);
    if (!ok) out.clear();
    return ok;
}

std::vector<std::string> listFiles(const char* folder, const char* extension) {
    std::vector<std::string> names;
    std::string dirPath = (folder && *folder) ? resolvePath(folder) : std::string(".");
    std::string ext = extension ? extension : "";
    size_t skip = 0;
    while (skip < ext.size() && (ext[skip] == '*' || ext[skip] == '.')) ++skip;
    ext = ext.substr(skip);

    DIR* dir = opendir(dirPath.c_str());
    if (!dir) return names;
    while (dirent* e = readdir(dir)) {
        std::string name(e->d_name);
        if (name == "." || name == "..") continue;
        if (!ext.empty()) {
            if (name.size() < ext.size() + 1 || name[name.size() - ext.size() - 1] != '.') continue;
            if (!equalNoCase(name.c_str() + name.size() - ext.size(), ext.c_str())) continue;
        }
        struct stat st {};
        std::string full = dirPath + "/" + name;
        if (stat(full.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end(), listedBefore);
    return names;
}

bool removeFile(const char* path) {
    if (!path || !*path) return false;
    return unlink(resolvePath(path).c_str()) == 0;
}

void failWriteStep(WriteStep step, int times) {
    gFiles.failStep = step;
    gFiles.failTimes = (step == WriteStep::None || times < 0) ? 0 : times;
}

bool writeFileAtomic(const char* path, const void* bytes, size_t length) {
    if (!path || !*path || (!bytes && length > 0)) return false;
    WriteStep failing = WriteStep::None;
    if (gFiles.failTimes > 0) {
        failing = gFiles.failStep;
        --gFiles.failTimes;
    }

    std::string target = resolvePath(path);
    struct stat st {};
    if (stat(target.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return false;
    std::string temp = target + ".tmp";

    // A stale temporary file, or a link planted under its name, is removed (unlink never
    // follows a link); the new one must then be created here, as a plain file, by this call.
    // A folder under the temporary name cannot be removed and fails the creation.
    if (lstat(temp.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) unlink(temp.c_str());
    int fd = -1;
    if (failing != WriteStep::Open) fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    FILE* f = fdopen(fd, "wb");
    if (!f) {
        close(fd);
        unlink(temp.c_str());
        return false;
    }

    bool ok = true;
    if (length > 0) {
        if (failing == WriteStep::Write) {
            // A disk that fills up half way: part of the bytes arrive, then the write fails.
            std::fwrite(bytes, 1, length / 2, f);
            ok = false;
        } else {
            ok = std::fwrite(bytes, 1, length, f) == length;
        }
    }
    if (ok) ok = failing != WriteStep::Flush && std::fflush(f) == 0;
    if (ok) ok = failing != WriteStep::Sync && fsync(fileno(f)) == 0;
    int closed = std::fclose(f);
    if (ok) ok = failing != WriteStep::Close && closed == 0;
    if (ok) ok = failing != WriteStep::Rename && std::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        unlink(temp.c_str());
        return false;
    }
    syncFolder(folderOf(target));
    return true;
}

}  // namespace platform
