// The data forge: builds the game's whole data set from data/ and procedural generators.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace forge {

struct Context {
    std::string sourceDir;  // data/ in the repository
    std::string outDir;     // the build's Data/ folder
    bool contactSheet = false;
    int filesWritten = 0;   // files whose bytes changed
    int filesKept = 0;      // files already up to date
};

// Writes a file under outDir (relative path with '/'), creating folders, only when its
// bytes differ from what is there, so an unchanged data set keeps its timestamps.
void writeOutput(Context& ctx, const std::string& relPath, const std::vector<uint8_t>& bytes);
void writeOutput(Context& ctx, const std::string& relPath, const std::string& text);
std::vector<uint8_t> readSource(const Context& ctx, const std::string& relPath);

// The generators, each in its own file. They run in this order.
void forgeTexts(Context& ctx);     // string tables, menus, trophies, gameobjs, effects
void forgeLevels(Context& ctx);    // the 129 level files
void forgeLayouts(Context& ctx);   // backdrop layouts, the map spline, trophy.cfg
void forgeFont(Context& ctx);      // font.tga and font.dat
void forgePictures(Context& ctx);  // every picture
void forgeSounds(Context& ctx);    // the cues in Sounds/
void forgeMusic(Context& ctx);     // music.mo3
void forgePacks(Context& ctx);     // targa.dat, jpeg.dat, texts.dat (runs last)

}  // namespace forge
