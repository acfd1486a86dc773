// The three data packs. Files the loaders read once through the store go into a pack; files
// read before the packs open, listed from their folder, opened by the audio library, re-read
// after release or written by the game stay loose. A packed file is taken out of the loose set.
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>

#include "app/pack_writer.h"
#include "forge.h"

namespace forge {

namespace {

std::string upper(std::string s) {
    for (char& ch : s)
        if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 32);
    return s;
}

std::string folderOf(const std::string& relPath) {
    size_t slash = relPath.rfind('/');
    return slash == std::string::npos ? std::string() : relPath.substr(0, slash);
}

std::string bareName(const std::string& relPath) {
    size_t slash = relPath.rfind('/');
    return slash == std::string::npos ? relPath : relPath.substr(slash + 1);
}

std::string extensionOf(const std::string& name) {
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : upper(name.substr(dot + 1));
}

bool startsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

// The name the loaders ask the store for: the bare file name after entering the folder, but
// the field tiles are asked for with their folder ("field\field0.tga").
std::string entryName(const std::string& relPath) {
    if (folderOf(relPath) == "field") return "field\\" + bareName(relPath);
    return bareName(relPath);
}

// Which pack a file may live in; empty when it must stay loose.
std::string packFor(const std::string& relPath) {
    const std::string folder = folderOf(relPath);
    const std::string name = bareName(relPath);
    const std::string ext = extensionOf(name);
    static const std::set<std::string> packedFolders = {"", "field", "figures", "AnimBacks", "trophyes",
                                                        "artefacts", "mask"};
    if (!packedFolders.count(folder)) return {};  // levels, effects, Sounds, settings, ...
    static const std::set<std::string> looseInRoot = {"SPLASH1.JPG", "SPLASH2.JPG", "LOADSCREEN.JPG",
                                                      "LOADBAR.TGA", "MUSIC.MO3", "TARGA.DAT",
                                                      "JPEG.DAT",    "TEXTS.DAT"};
    if (folder.empty() && looseInRoot.count(upper(name))) return {};
    if (folder == "AnimBacks" && (ext == "LEV" || startsWith(upper(name), "_A_BACK"))) return {};
    if (folder == "trophyes" && upper(name) == "TROPHY.CFG") return {};
    if (ext == "TGA") return "targa.dat";
    if (ext == "JPG") return "jpeg.dat";
    if (ext == "TXT" || ext == "DAT" || ext == "SPL") return "texts.dat";
    return {};
}

}  // namespace

void forgePacks(Context& ctx) {
    // Names the store would answer for a request made in any folder: a packed entry must not
    // shadow another file of the same bare name, nor the "_a_" alias of a picture elsewhere.
    std::map<std::string, std::set<std::string>> foldersByName;
    for (const auto& entry : ctx.staged) {
        const std::string& relPath = entry.first;
        const std::string name = bareName(relPath);
        foldersByName[upper(name)].insert(folderOf(relPath));
        if (extensionOf(name) == "TGA") {
            std::string stem = name.substr(0, name.find('.'));
            foldersByName[upper("_a_" + stem + ".jpg")].insert(folderOf(relPath));
        }
    }
    std::map<std::string, std::vector<PackItem>> packs;
    std::vector<std::string> packed;
    for (const auto& [relPath, bytes] : ctx.staged) {
        std::string pack = packFor(relPath);
        if (pack.empty()) continue;
        std::string name = entryName(relPath);
        const std::set<std::string>& folders = foldersByName[upper(bareName(relPath))];
        if (folders.size() > 1 || name.size() > 63) {
            std::fprintf(stderr, "forge: %s stays loose (its name is not unique in the data set)\n",
                         relPath.c_str());
            continue;
        }
        packs[pack].push_back(PackItem{name, bytes});
        packed.push_back(relPath);
    }
    for (const auto& [packName, items] : packs) {
        std::vector<uint8_t> bytes;
        if (!buildPack(items, bytes)) {
            std::fprintf(stderr, "forge: cannot build %s\n", packName.c_str());
            std::exit(1);
        }
        writeOutput(ctx, packName, bytes);
    }
    for (const std::string& relPath : packed) {
        ctx.staged.erase(relPath);
        ctx.packedPaths.push_back(relPath);
    }
}

}  // namespace forge
