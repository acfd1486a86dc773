#include "app/pack_writer.h"

#include "platform/files.h"

void scrambleWithName(uint8_t* data, uint32_t size, const char* name, uint32_t nameLength) {
    if (!data || !name || nameLength == 0) return;
    // Byte i takes name[n - 1 - (i mod n)]: the name backwards, repeated.
    uint32_t k = nameLength - 1;
    for (uint32_t i = 0; i < size; ++i) {
        data[i] ^= static_cast<uint8_t>(name[k]);
        k = (k == 0) ? nameLength - 1 : k - 1;
    }
}

bool buildPack(const std::vector<PackItem>& items, std::vector<uint8_t>& out) {
    out.clear();
    for (const PackItem& item : items) {
        if (item.name.empty() || item.name.size() > 63) return false;
        if (item.name.find('\0') != std::string::npos) return false;
        if (item.data.size() > 0x7FFFFFFEu) return false;
        out.insert(out.end(), item.name.begin(), item.name.end());
        out.push_back(0);
        uint32_t size = static_cast<uint32_t>(item.data.size());
        for (int b = 0; b < 4; ++b) out.push_back(static_cast<uint8_t>(size >> (8 * b)));
        size_t start = out.size();
        out.insert(out.end(), item.data.begin(), item.data.end());
        scrambleWithName(out.data() + start, size, item.name.c_str(), static_cast<uint32_t>(item.name.size()));
    }
    return true;
}

bool writePack(const char* path, const std::vector<PackItem>& items) {
    std::vector<uint8_t> bytes;
    if (!buildPack(items, bytes)) return false;
    return platform::writeFileAtomic(path, bytes.data(), bytes.size());
}

namespace {
bool sameNoCase(const char* a, const char* b) {
    return platform::compareNamesNoCase(a, b) == 0;
}
}  // namespace

bool staysLoose(const char* path) {
    if (!path || !*path) return false;
    std::string p(path);
    for (char& c : p) if (c == '\\') c = '/';
    size_t slash = p.rfind('/');
    std::string file = slash == std::string::npos ? p : p.substr(slash + 1);
    std::string folders = slash == std::string::npos ? std::string() : p.substr(0, slash);
    // Anything inside a "Sounds" folder.
    size_t start = 0;
    while (start <= folders.size() && !folders.empty()) {
        size_t end = folders.find('/', start);
        if (end == std::string::npos) end = folders.size();
        if (sameNoCase(folders.substr(start, end - start).c_str(), "Sounds")) return true;
        start = end + 1;
    }
    for (const char* name : {"splash1.jpg", "splash2.jpg", "loadscreen.jpg", "loadbar.tga", "music.mo3"})
        if (sameNoCase(file.c_str(), name)) return true;
    // "_a_back<digits>.jpg"
    const char* prefix = "_a_back";
    if (file.size() > 11 && sameNoCase(file.substr(0, 7).c_str(), prefix) &&
        sameNoCase(file.substr(file.size() - 4).c_str(), ".jpg")) {
        std::string digits = file.substr(7, file.size() - 11);
        bool allDigits = !digits.empty();
        for (char c : digits) allDigits = allDigits && c >= '0' && c <= '9';
        if (allDigits) return true;
    }
    return false;
}
