// The data forge: builds the game's whole data set from data/ and procedural generators.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace forge {

struct Context {
    std::string sourceDir;  // data/ in the repository
    std::string outDir;     // the build's Data/ folder
    bool contactSheet = false;
    bool levelReport = false;  // print the designer's numbers for every level
    int filesWritten = 0;   // files whose bytes changed
    int filesKept = 0;      // files already up to date
    int filesRemoved = 0;   // stale files taken out of Data/
    // Every file of the data set, by its path inside Data/ ('/' separated). The generators fill
    // it; the packer moves the packable files into the packs; commitOutput writes what is left.
    std::map<std::string, std::vector<uint8_t>> staged;
    std::vector<std::string> packedPaths;  // files that now live only inside a pack
};

// Stages a file of the data set (relative path with '/'). Nothing touches the disk until
// commitOutput, which rewrites a file only when its bytes differ from what is there, so an
// unchanged data set keeps its timestamps.
void writeOutput(Context& ctx, const std::string& relPath, const std::vector<uint8_t>& bytes);
void writeOutput(Context& ctx, const std::string& relPath, const std::string& text);
// The bytes staged under relPath, or nullptr.
const std::vector<uint8_t>* stagedOutput(const Context& ctx, const std::string& relPath);
std::vector<uint8_t> readSource(const Context& ctx, const std::string& relPath);
// Files directly in a source folder (names only, sorted), e.g. "effects".
std::vector<std::string> listSources(const Context& ctx, const std::string& relDir);
// Writes every staged file into outDir and removes the files an earlier run wrote that are no
// longer part of the data set (a file now packed must not stay loose beside its pack).
void commitOutput(Context& ctx);

// The generators, each in its own file. They run in this order.
void forgeTexts(Context& ctx);     // string tables, menus, effects
void forgeLevels(Context& ctx);    // the 129 level files
void forgeLayouts(Context& ctx);   // backdrop layouts, the map spline, trophy.cfg
void forgeFont(Context& ctx);      // font.tga and font.dat
void forgePictures(Context& ctx);  // every picture
void forgeSounds(Context& ctx);    // the cues in Sounds/
void forgeMusic(Context& ctx);     // music.mo3
void forgePacks(Context& ctx);     // targa.dat, jpeg.dat, texts.dat (runs last)

}  // namespace forge
