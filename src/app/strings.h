// The string table: every sentence shown to the player, looked up by a short name.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int kStringCapacity = 1024;
constexpr int kStringNameMax = 19;  // longer names are cut

// Reads a strings file through the store (a missing file is the fatal "Can't load"), appends
// its entries and gives the file back.
void loadStrings(const char* fileName);
// Appends the entries of a strings file held in memory (size bytes; the last byte is ignored,
// as the file's final line end is). Returns how many entries were added.
int parseStrings(const uint8_t* bytes, size_t size);
const char* lookupText(const char* name);  // "" when the name is missing
int indexOfName(const char* name);         // 0 when the name is missing
const char* textAt(int position);          // "" past the table
const char* nameAt(int position);          // "" past the table
int stringCount();
// How many entries named prefix1, prefix2, ... follow each other from "prefix1" on (0 when
// "prefix1" is missing): the length of a numbered run such as the in-game tips.
int numberedRunLength(const char* prefix);
void freeStrings();
