// The resource store: every file the program reads passes through it, from a data pack or
// from the disk, entered under its upper-cased name.
#pragma once

#include <cstddef>
#include <cstdint>

struct ResourceEntry {
    char name[128];
    int32_t size;
    uint8_t* data;
    bool owned;
};

constexpr int kStoreCapacity = 1024;
constexpr int kStoreNameMax = 63;  // longer names are never entered nor found

void normaliseName(char* text);
// The fatal "Can't load" message for a file that must load.
[[noreturn]] void fatalLoad(const char* name);
// Null when the name is empty or longer than 63 characters. A full store is the fatal
// "Can't load" message for that name.
ResourceEntry* addEntry(const char* name, int32_t size, uint8_t* data, bool owned);
ResourceEntry* findEntry(const char* name);
// A missing pack is skipped; a damaged one is the fatal "Can't load" message for the pack.
void openPack(const char* fileName);
// The entries of a pack already in memory: buffer holds length bytes plus one 0 byte after
// them, allocated with malloc; the store takes it over (also when the pack is damaged, where
// it is freed before the fatal message).
void openPackBuffer(const char* packName, uint8_t* buffer, int32_t length);
// True when the bytes are a sequence of well-formed pack records ending exactly at the end.
bool packIsWellFormed(const uint8_t* bytes, size_t length);
// The store first, then the disk. The caller gives the bytes back with releaseByData. A disk
// file's buffer holds one 0 byte after its data (not counted in the size).
uint8_t* loadFile(const char* name, int32_t* outSize, bool fatal);
// Copies the file into buffer. Missing: null, size 0. Larger than capacity: nothing is copied,
// null, and the size tells the file's real length.
uint8_t* readFileInto(const char* name, uint8_t* buffer, int32_t capacity, int32_t* outSize);
// Replaces the file whole (see platform::writeFileAtomic); a failure is the fatal "Can't save".
void saveFile(const char* name, const uint8_t* bytes, int32_t length);
bool releaseByData(const void* data);
// Compares the stored names with the upper-cased text, as findEntry does.
bool releaseByName(const char* text);
int resourceCount();
const ResourceEntry* resourceAt(int index);  // null past the count
void resetResourceStore();                    // empties the store and frees every buffer (tests)
