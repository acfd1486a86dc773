#include "app/resource_store.h"

// Not written yet: the resource store issue fills these in.
void normaliseName(char*) {}
ResourceEntry* addEntry(const char*, int32_t, uint8_t*, bool) { return nullptr; }
ResourceEntry* findEntry(const char*) { return nullptr; }
void openPack(const char*) {}
uint8_t* loadFile(const char*, int32_t*, bool) { return nullptr; }
uint8_t* readFileInto(const char*, uint8_t*, int32_t, int32_t*) { return nullptr; }
void saveFile(const char*, const uint8_t*, int32_t) {}
bool releaseByData(const void*) { return false; }
bool releaseByName(const char*) { return false; }
void resetResourceStore() {}
