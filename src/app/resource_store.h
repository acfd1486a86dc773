// The resource store: every file the program reads passes through it, from a data pack or
// from the disk, entered under its upper-cased name.
#pragma once

#include <cstdint>

struct ResourceEntry {
    char name[128];
    int32_t size;
    uint8_t* data;
    bool owned;
};

void normaliseName(char* text);
ResourceEntry* addEntry(const char* name, int32_t size, uint8_t* data, bool owned);
ResourceEntry* findEntry(const char* name);
void openPack(const char* fileName);
// The store first, then the disk. The caller gives the bytes back with releaseByData.
uint8_t* loadFile(const char* name, int32_t* outSize, bool fatal);
uint8_t* readFileInto(const char* name, uint8_t* buffer, int32_t capacity, int32_t* outSize);
void saveFile(const char* name, const uint8_t* bytes, int32_t length);
bool releaseByData(const void* data);
bool releaseByName(const char* text);
void resetResourceStore();  // empties the store (tests)
