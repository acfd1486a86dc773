// Writing data packs: each record is the name, a 0 byte, the 32-bit little-endian size and the
// data scrambled with the name (data byte i exclusive-or name[n - 1 - (i mod n)]).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PackItem {
    std::string name;  // 1..63 characters, stored as given
    std::vector<uint8_t> data;
};

// The same operation scrambles and unscrambles.
void scrambleWithName(uint8_t* data, uint32_t size, const char* name, uint32_t nameLength);
// The bytes of a whole pack; false when a name is empty or longer than 63 characters.
bool buildPack(const std::vector<PackItem>& items, std::vector<uint8_t>& out);
// Writes a whole pack file (replaced whole, or left as it was); false when a name is bad or
// the file cannot be written.
bool writePack(const char* path, const std::vector<PackItem>& items);

// True for files that must stay loose in the data folder, never packed: the pictures read
// before the packs open ("splash1.jpg", "splash2.jpg", "loadscreen.jpg", "loadbar.tga"), the
// cues in "Sounds" and "music.mo3" (read by the audio code from the disk), and the backdrop
// pictures "_a_back<n>.jpg" (given back after decoding and read again at every backdrop
// change). path is relative to the data folder, with "/" or "\" between folders; case is ignored.
bool staysLoose(const char* path);
