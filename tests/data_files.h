// Reading the forged data set the way the game finds its files: a pack entry first (by the
// name the loaders ask for, any case), then the loose file under Data/.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "app/pack_writer.h"

namespace data_files {

inline std::filesystem::path dataDir() { return std::filesystem::path(SANDMERE_DATA_DIR); }

inline std::string upper(std::string s) {
    for (char& ch : s)
        if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 32);
    return s;
}

inline std::optional<std::string> readLoose(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

struct PackEntry {
    std::string pack;
    std::string name;
    std::string bytes;  // unscrambled
};

// Splits a pack into its records; false when a record runs past the end or a name is bad.
inline bool splitPack(const std::string& bytes, const std::string& packName, std::vector<PackEntry>& out) {
    size_t p = 0;
    while (p < bytes.size()) {
        size_t zero = bytes.find('\0', p);
        if (zero == std::string::npos || zero == p || zero - p > 63) return false;
        std::string name = bytes.substr(p, zero - p);
        if (zero + 5 > bytes.size()) return false;
        uint32_t size = 0;
        for (int b = 0; b < 4; ++b) size |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[zero + 1 + b])) << (8 * b);
        size_t data = zero + 5;
        if (size > bytes.size() - data) return false;
        std::string content = bytes.substr(data, size);
        scrambleWithName(reinterpret_cast<uint8_t*>(content.data()), size, name.c_str(),
                         static_cast<uint32_t>(name.size()));
        out.push_back(PackEntry{packName, name, std::move(content)});
        p = data + size;
    }
    return true;
}

inline const char* const kPackNames[3] = {"targa.dat", "jpeg.dat", "texts.dat"};

// Every entry of the three packs (a pack that is absent adds nothing).
inline std::vector<PackEntry> packEntries() {
    std::vector<PackEntry> entries;
    for (const char* pack : kPackNames) {
        std::optional<std::string> bytes = readLoose(dataDir() / pack);
        if (bytes) splitPack(*bytes, pack, entries);
    }
    return entries;
}

// The name a loader asks the store for once it has entered the file's folder.
inline std::string requestName(const std::string& relPath) {
    size_t slash = relPath.rfind('/');
    if (slash == std::string::npos) return relPath;
    if (relPath.compare(0, slash, "field") == 0) return "field\\" + relPath.substr(slash + 1);
    return relPath.substr(slash + 1);
}

// A file of the data set as the game would get it: from a pack, else from the disk.
inline std::optional<std::string> dataFile(const std::string& relPath) {
    static const std::vector<PackEntry> entries = packEntries();
    const std::string wanted = upper(requestName(relPath));
    for (const PackEntry& e : entries)
        if (upper(e.name) == wanted) return e.bytes;
    return readLoose(dataDir() / relPath);
}

// The lines of a CR LF text, without their line ends.
inline std::vector<std::string> crlfLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t p = 0;
    while (p < text.size()) {
        size_t end = text.find("\r\n", p);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(p, end - p));
        p = end + 2;
    }
    return lines;
}

// Whether the first occurrence of key in text starts a line: a key text reader that searches
// the whole text would otherwise find it inside a longer key (or a value) first.
inline bool firstOccurrenceStartsLine(const std::string& text, const std::string& key) {
    size_t at = text.find(key);
    return at == std::string::npos || at == 0 || text[at - 1] == '\n';
}

// The value of key as the game's key text reader gives it: after the first occurrence, up to
// the next carriage return; nullopt when the key does not occur.
inline std::optional<std::string> keyValue(const std::string& text, const std::string& key) {
    size_t at = text.find(key);
    if (at == std::string::npos) return std::nullopt;
    size_t start = at + key.size();
    size_t end = text.find('\r', start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

}  // namespace data_files
