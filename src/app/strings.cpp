#include "app/strings.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/resource_store.h"

namespace {

struct StringEntry {
    char name[kStringNameMax + 1];
    char* text;
};

struct StringTable {
    StringEntry entries[kStringCapacity];
    int count;
};
StringTable gStrings{};

// A view of the file in which the last byte reads as 0: it is the file's final line end,
// which the terminating 0 replaces.
struct Cursor {
    const uint8_t* bytes;
    size_t end;  // = size - 1: scans stop here
    uint8_t at(size_t i) const { return i < end ? bytes[i] : 0; }
};

bool store(const uint8_t* name, size_t nameLength, const uint8_t* text, size_t textLength) {
    if (gStrings.count >= kStringCapacity) return false;
    char* copy = static_cast<char*>(std::malloc(textLength + 1));
    if (!copy) return false;
    if (textLength > 0) std::memcpy(copy, text, textLength);
    copy[textLength] = '\0';
    StringEntry& e = gStrings.entries[gStrings.count++];
    size_t n = nameLength > static_cast<size_t>(kStringNameMax) ? kStringNameMax : nameLength;
    std::memset(e.name, 0, sizeof e.name);
    if (n > 0) std::memcpy(e.name, name, n);
    e.text = copy;
    return true;
}

}  // namespace

int parseStrings(const uint8_t* bytes, size_t size) {
    if (!bytes || size == 0) return 0;
    Cursor c{bytes, size - 1};
    int added = 0;
    size_t p = 0;
    while (true) {
        while (p < c.end && c.at(p) <= 32) ++p;
        if (p >= c.end) break;
        if (c.at(p) == '[') {
            // "[name/]", control bytes, the text up to the next "[", then past the next "]".
            size_t nameStart = p + 1;
            size_t q = nameStart;
            while (q < c.end && !(c.at(q) == '/' && c.at(q + 1) == ']')) ++q;
            if (q >= c.end) break;
            size_t nameLength = q - nameStart;
            q += 2;
            while (q < c.end && c.at(q) < 32) ++q;
            if (q >= c.end) break;
            size_t textStart = q;
            while (q < c.end && c.at(q) != '[') ++q;
            if (q >= c.end) break;
            if (store(bytes + nameStart, nameLength, bytes + textStart, q - textStart)) ++added;
            while (q < c.end && c.at(q) != ']') ++q;
            if (q >= c.end) break;
            p = q + 1;
        } else {
            // "name=text", the text up to the first two bytes in a row below 32.
            size_t nameStart = p;
            size_t q = p;
            while (q < c.end && c.at(q) != '=') ++q;
            if (q >= c.end) break;
            size_t nameLength = q - nameStart;
            size_t textStart = q + 1;
            q = textStart;
            while (q < c.end && !(c.at(q) < 32 && c.at(q + 1) < 32)) ++q;
            if (q >= c.end) break;
            if (store(bytes + nameStart, nameLength, bytes + textStart, q - textStart)) ++added;
            p = q + 2;
        }
    }
    return added;
}

void loadStrings(const char* fileName) {
    int32_t size = 0;
    uint8_t* data = loadFile(fileName, &size, true);
    if (!data) return;
    parseStrings(data, size > 0 ? static_cast<size_t>(size) : 0);
    releaseByData(data);
}

const char* lookupText(const char* name) {
    if (!name) return "";
    for (int i = 0; i < gStrings.count; ++i)
        if (std::strcmp(gStrings.entries[i].name, name) == 0) return gStrings.entries[i].text;
    return "";
}

int indexOfName(const char* name) {
    if (!name) return 0;
    for (int i = 0; i < gStrings.count; ++i)
        if (std::strcmp(gStrings.entries[i].name, name) == 0) return i;
    return 0;
}

const char* textAt(int position) {
    if (position < 0 || position >= gStrings.count) return "";
    return gStrings.entries[position].text;
}

const char* nameAt(int position) {
    if (position < 0 || position >= gStrings.count) return "";
    return gStrings.entries[position].name;
}

int stringCount() { return gStrings.count; }

int numberedRunLength(const char* prefix) {
    if (!prefix) return 0;
    char name[64];
    std::snprintf(name, sizeof name, "%s1", prefix);
    int first = -1;
    for (int i = 0; i < gStrings.count; ++i) {
        if (std::strcmp(gStrings.entries[i].name, name) == 0) {
            first = i;
            break;
        }
    }
    if (first < 0) return 0;
    int run = 1;
    while (first + run < gStrings.count) {
        std::snprintf(name, sizeof name, "%s%d", prefix, run + 1);
        if (std::strcmp(gStrings.entries[first + run].name, name) != 0) break;
        ++run;
    }
    return run;
}

void freeStrings() {
    for (int i = 0; i < gStrings.count; ++i) std::free(gStrings.entries[i].text);
    std::memset(&gStrings, 0, sizeof gStrings);
}
