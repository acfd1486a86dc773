// sandmere-forge --source data --out build/Data [--contact-sheet] [--level-report]
// sandmere-forge --icons DIR      (the desktop icons: DIR/<size>x<size>/apps/<id>.png)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "art_parts.h"
#include "forge.h"

namespace forge {

namespace fs = std::filesystem;

void writeOutput(Context& ctx, const std::string& relPath, const std::vector<uint8_t>& bytes) {
    ctx.staged[relPath] = bytes;
}

void writeOutput(Context& ctx, const std::string& relPath, const std::string& text) {
    writeOutput(ctx, relPath, std::vector<uint8_t>(text.begin(), text.end()));
}

const std::vector<uint8_t>* stagedOutput(const Context& ctx, const std::string& relPath) {
    auto it = ctx.staged.find(relPath);
    return it == ctx.staged.end() ? nullptr : &it->second;
}

std::vector<uint8_t> readSource(const Context& ctx, const std::string& relPath) {
    fs::path path = fs::path(ctx.sourceDir) / relPath;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "forge: missing source %s\n", path.c_str());
        std::exit(1);
    }
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<std::string> listSources(const Context& ctx, const std::string& relDir) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(fs::path(ctx.sourceDir) / relDir, ec))
        if (e.is_regular_file()) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

namespace {

// The list of files the last run wrote, kept beside the data folder.
fs::path manifestPath(const Context& ctx) {
    fs::path out = fs::path(ctx.outDir);
    if (!out.has_filename()) out = out.parent_path();
    return fs::path(out.string() + ".manifest");
}

bool sameBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::error_code ec;
    uintmax_t size = fs::file_size(path, ec);
    if (ec || size != bytes.size()) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::vector<uint8_t> old((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return old == bytes;
}

void removeLoose(Context& ctx, const std::string& relPath) {
    std::error_code ec;
    if (fs::remove(fs::path(ctx.outDir) / relPath, ec)) ++ctx.filesRemoved;
}

}  // namespace

void commitOutput(Context& ctx) {
    for (const auto& [relPath, bytes] : ctx.staged) {
        fs::path path = fs::path(ctx.outDir) / relPath;
        if (sameBytes(path, bytes)) {
            ++ctx.filesKept;
            continue;
        }
        std::error_code ec;
        fs::create_directories(path.parent_path(), ec);
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            std::fprintf(stderr, "forge: cannot write %s\n", path.c_str());
            std::exit(1);
        }
        ++ctx.filesWritten;
    }
    // Files of the last run that are no longer loose (packed now, or dropped) go away.
    std::set<std::string> previous;
    {
        std::ifstream in(manifestPath(ctx));
        std::string line;
        while (std::getline(in, line))
            if (!line.empty()) previous.insert(line);
    }
    for (const std::string& relPath : previous)
        if (!ctx.staged.count(relPath)) removeLoose(ctx, relPath);
    for (const std::string& relPath : ctx.packedPaths)
        if (!ctx.staged.count(relPath) && !previous.count(relPath)) removeLoose(ctx, relPath);
    std::ofstream manifest(manifestPath(ctx), std::ios::trunc);
    for (const auto& entry : ctx.staged) manifest << entry.first << '\n';
}

}  // namespace forge

namespace {

// The icons a desktop shows for the game in its menus, from the figures' own painter.
int forgeIcons(const char* dir) {
    namespace fs = std::filesystem;
    for (int size : {48, 64, 128, 256}) {
        std::string name = std::to_string(size) + "x" + std::to_string(size);
        fs::path folder = fs::path(dir) / name / "apps";
        std::error_code ec;
        fs::create_directories(folder, ec);
        std::vector<uint8_t> png = forge::art::encodePng(forge::art::desktopIcon(size));
        fs::path path = folder / "org.sandmere.Sandmere.png";
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
        if (!out) {
            std::fprintf(stderr, "forge: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    forge::Context ctx;
    if (argc == 3 && !std::strcmp(argv[1], "--icons")) return forgeIcons(argv[2]);
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--source") && i + 1 < argc) ctx.sourceDir = argv[++i];
        else if (!std::strcmp(argv[i], "--out") && i + 1 < argc) ctx.outDir = argv[++i];
        else if (!std::strcmp(argv[i], "--contact-sheet")) ctx.contactSheet = true;
        else if (!std::strcmp(argv[i], "--level-report")) ctx.levelReport = true;
        else {
            std::fprintf(stderr, "usage: %s --source DIR --out DIR [--contact-sheet] [--level-report] | --icons DIR\n", argv[0]);
            return 2;
        }
    }
    if (ctx.sourceDir.empty() || ctx.outDir.empty()) {
        std::fprintf(stderr, "usage: %s --source DIR --out DIR [--contact-sheet] [--level-report] | --icons DIR\n", argv[0]);
        return 2;
    }
    forge::forgeTexts(ctx);
    forge::forgeLevels(ctx);
    forge::forgeLayouts(ctx);
    forge::forgeFont(ctx);
    forge::forgePictures(ctx);
    forge::forgeSounds(ctx);
    forge::forgeMusic(ctx);
    forge::forgePacks(ctx);
    forge::commitOutput(ctx);
    std::printf("forge: %d files written, %d up to date, %d removed\n", ctx.filesWritten, ctx.filesKept,
                ctx.filesRemoved);
    return 0;
}
