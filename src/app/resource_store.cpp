#include "app/resource_store.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/loader.h"
#include "app/pack_writer.h"
#include "platform/fatal.h"
#include "platform/files.h"

namespace {

// Entries live in a fixed pool; the store itself is the list of pointers in insertion order.
struct StoreState {
    ResourceEntry pool[kStoreCapacity];
    bool used[kStoreCapacity];
    ResourceEntry* entries[kStoreCapacity];
    int count;
};
StoreState gStore{};

[[noreturn]] void fatalWithName(const char* pattern, const char* name, const char* caption) {
    char text[320];
    std::snprintf(text, sizeof text, pattern, name ? name : "");
    platform::fatal(text, caption);
}

[[noreturn]] void fatalSave(const char* name) {
    fatalWithName("Can't save %.200s...\nProgram will now stop.", name, "Writing Error");
}

// The upper-cased lookup form of a name; false when it is empty or too long.
bool lookupForm(const char* name, char (&out)[kStoreNameMax + 1]) {
    if (!name) return false;
    size_t n = strnlen(name, kStoreNameMax + 1);
    if (n == 0 || n > static_cast<size_t>(kStoreNameMax)) return false;
    std::memcpy(out, name, n);
    out[n] = '\0';
    normaliseName(out);
    return true;
}

ResourceEntry* takeSlot() {
    for (int i = 0; i < kStoreCapacity; ++i) {
        if (!gStore.used[i]) {
            gStore.used[i] = true;
            return &gStore.pool[i];
        }
    }
    return nullptr;
}

// Appends an entry whose name is already checked and cut to fit.
ResourceEntry* append(const char* name, size_t nameLength, int32_t size, uint8_t* data, bool owned) {
    if (gStore.count >= kStoreCapacity) {
        char shown[kStoreNameMax + 1];
        std::memcpy(shown, name, nameLength);
        shown[nameLength] = '\0';
        if (owned) std::free(data);
        fatalLoad(shown);
    }
    ResourceEntry* e = takeSlot();
    std::memset(e->name, 0, sizeof e->name);
    std::memcpy(e->name, name, nameLength);
    normaliseName(e->name);
    e->size = size;
    e->data = data;
    e->owned = owned;
    gStore.entries[gStore.count++] = e;
    reportLoaded(size);
    return e;
}

void removeAt(int index) {
    ResourceEntry* e = gStore.entries[index];
    if (e->owned) std::free(e->data);
    e->data = nullptr;
    gStore.used[e - gStore.pool] = false;
    for (int i = index + 1; i < gStore.count; ++i) gStore.entries[i - 1] = gStore.entries[i];
    --gStore.count;
    gStore.entries[gStore.count] = nullptr;
}

uint32_t readU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

// Opens a regular file for reading; its length in *size. Null when missing or not a file.
FILE* openForReading(const char* name, int64_t* size) {
    FILE* f = platform::openFile(name, "rb");
    if (!f) return nullptr;
    struct stat st {};
    if (fstat(fileno(f), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0) {
        std::fclose(f);
        return nullptr;
    }
    *size = static_cast<int64_t>(st.st_size);
    return f;
}

// The whole file in a buffer of its own with one 0 byte after the data.
uint8_t* readWhole(const char* name, int32_t* outLength) {
    int64_t size = 0;
    FILE* f = openForReading(name, &size);
    if (!f) return nullptr;
    if (size > INT32_MAX - 1) {
        std::fclose(f);
        return nullptr;
    }
    uint8_t* buffer = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(size) + 1));
    bool ok = buffer != nullptr;
    if (ok && size > 0) ok = std::fread(buffer, 1, static_cast<size_t>(size), f) == static_cast<size_t>(size);
    std::fclose(f);
    if (!ok) {
        std::free(buffer);
        return nullptr;
    }
    buffer[size] = 0;
    *outLength = static_cast<int32_t>(size);
    return buffer;
}

}  // namespace

[[noreturn]] void fatalLoad(const char* name) {
    fatalWithName("Can't load %.200s...\nProgram will now stop.", name, "Loading Error");
}

void normaliseName(char* text) {
    if (!text) return;
    for (unsigned char* p = reinterpret_cast<unsigned char*>(text); *p; ++p) {
        if ((*p >= 'a' && *p <= 'z') || *p >= 0xE0) *p = static_cast<unsigned char>(*p - 32);
    }
}

ResourceEntry* addEntry(const char* name, int32_t size, uint8_t* data, bool owned) {
    if (!name) return nullptr;
    size_t n = strnlen(name, kStoreNameMax + 1);
    if (n == 0 || n > static_cast<size_t>(kStoreNameMax)) return nullptr;
    return append(name, n, size, data, owned);
}

ResourceEntry* findEntry(const char* name) {
    char key[kStoreNameMax + 1];
    if (!lookupForm(name, key)) return nullptr;
    for (int i = 0; i < gStore.count; ++i)
        if (std::strcmp(gStore.entries[i]->name, key) == 0) return gStore.entries[i];
    return nullptr;
}

bool packIsWellFormed(const uint8_t* bytes, size_t length) {
    if (!bytes) return length == 0;
    size_t p = 0;
    while (p < length) {
        size_t remaining = length - p;
        const void* zero = std::memchr(bytes + p, 0, remaining);
        if (!zero) return false;  // a name without its 0 byte
        size_t n = static_cast<size_t>(static_cast<const uint8_t*>(zero) - (bytes + p));
        if (n < 1 || n > static_cast<size_t>(kStoreNameMax)) return false;
        p += n + 1;
        if (length - p < 4) return false;  // the size is cut off
        uint32_t size = readU32(bytes + p);
        p += 4;
        if (size > length - p) return false;  // the data runs past the end
        p += size;
    }
    return true;
}

void openPackBuffer(const char* packName, uint8_t* buffer, int32_t length) {
    const char* shownName = packName ? packName : "";
    if (length < 0 || (!buffer && length > 0) || !packIsWellFormed(buffer, static_cast<size_t>(length))) {
        std::free(buffer);
        fatalLoad(shownName);
    }
    // The pack buffer itself is an entry (cut to the longest name the store holds, so that it
    // is always tracked and freed with the store).
    size_t packNameLength = strnlen(shownName, kStoreNameMax);
    if (packNameLength == 0) {
        shownName = "pack";
        packNameLength = 4;
    }
    append(shownName, packNameLength, length, buffer, true);

    size_t p = 0;
    size_t total = static_cast<size_t>(length);
    while (p < total) {
        const char* name = reinterpret_cast<const char*>(buffer + p);
        size_t n = std::strlen(name);  // checked above: a 0 byte follows within the pack
        p += n + 1;
        uint32_t size = readU32(buffer + p);
        p += 4;
        scrambleWithName(buffer + p, size, name, static_cast<uint32_t>(n));
        append(name, n, static_cast<int32_t>(size), buffer + p, false);
        p += size;
    }
}

void openPack(const char* fileName) {
    if (!fileName || !*fileName) return;
    int64_t size = 0;
    FILE* f = openForReading(fileName, &size);
    if (!f) return;  // a missing pack is skipped: the loose files serve instead
    if (size > INT32_MAX - 1) {
        std::fclose(f);
        fatalLoad(fileName);
    }
    uint8_t* buffer = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(size) + 1));
    bool ok = buffer != nullptr;
    if (ok && size > 0) ok = std::fread(buffer, 1, static_cast<size_t>(size), f) == static_cast<size_t>(size);
    std::fclose(f);
    if (!ok) {
        std::free(buffer);
        fatalLoad(fileName);
    }
    buffer[size] = 0;
    openPackBuffer(fileName, buffer, static_cast<int32_t>(size));
}

uint8_t* loadFile(const char* name, int32_t* outSize, bool fatal) {
    if (outSize) *outSize = 0;
    if (ResourceEntry* e = findEntry(name)) {
        if (outSize) *outSize = e->size;
        return e->data;
    }
    char key[kStoreNameMax + 1];
    int32_t length = 0;
    uint8_t* buffer = lookupForm(name, key) ? readWhole(name, &length) : nullptr;
    if (!buffer) {
        if (fatal) fatalLoad(name);
        return nullptr;
    }
    append(name, std::strlen(name), length, buffer, true);
    if (outSize) *outSize = length;
    return buffer;
}

uint8_t* readFileInto(const char* name, uint8_t* buffer, int32_t capacity, int32_t* outSize) {
    if (outSize) *outSize = 0;
    if (!name || !buffer) return nullptr;
    if (capacity < 0) capacity = 0;
    if (ResourceEntry* e = findEntry(name)) {
        if (outSize) *outSize = e->size;
        if (e->size > capacity) return nullptr;
        if (e->size > 0) std::memcpy(buffer, e->data, static_cast<size_t>(e->size));
        return buffer;
    }
    int64_t size = 0;
    FILE* f = openForReading(name, &size);
    if (!f) return nullptr;
    if (size > capacity) {
        std::fclose(f);
        if (outSize) *outSize = size > INT32_MAX ? INT32_MAX : static_cast<int32_t>(size);
        return nullptr;
    }
    bool ok = size == 0 || std::fread(buffer, 1, static_cast<size_t>(size), f) == static_cast<size_t>(size);
    std::fclose(f);
    if (!ok) return nullptr;
    if (outSize) *outSize = static_cast<int32_t>(size);
    return buffer;
}

void saveFile(const char* name, const uint8_t* bytes, int32_t length) {
    bool ok = name && *name && length >= 0 &&
              platform::writeFileAtomic(name, bytes, static_cast<size_t>(length));
    if (!ok) fatalSave(name);
}

bool releaseByData(const void* data) {
    if (!data) return false;
    for (int i = 0; i < gStore.count; ++i) {
        if (gStore.entries[i]->data == data) {
            removeAt(i);
            return true;
        }
    }
    return false;
}

bool releaseByName(const char* text) {
    char key[kStoreNameMax + 1];
    if (!lookupForm(text, key)) return false;
    for (int i = 0; i < gStore.count; ++i) {
        if (std::strcmp(gStore.entries[i]->name, key) == 0) {
            removeAt(i);
            return true;
        }
    }
    return false;
}

int resourceCount() { return gStore.count; }

const ResourceEntry* resourceAt(int index) {
    return (index >= 0 && index < gStore.count) ? gStore.entries[index] : nullptr;
}

void resetResourceStore() {
    for (int i = 0; i < gStore.count; ++i) {
        if (gStore.entries[i]->owned) std::free(gStore.entries[i]->data);
    }
    std::memset(&gStore, 0, sizeof gStore);
}
