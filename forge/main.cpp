// sandmere-forge --source data --out build/Data [--contact-sheet]
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "forge.h"

namespace forge {

void writeOutput(Context& ctx, const std::string& relPath, const std::vector<uint8_t>& bytes) {
    std::filesystem::path path = std::filesystem::path(ctx.outDir) / relPath;
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    {
        std::ifstream in(path, std::ios::binary);
        if (in) {
            std::vector<uint8_t> old((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            if (old == bytes) {
                ++ctx.filesKept;
                return;
            }
        }
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "forge: cannot write %s\n", path.c_str());
        std::exit(1);
    }
    ++ctx.filesWritten;
}

void writeOutput(Context& ctx, const std::string& relPath, const std::string& text) {
    writeOutput(ctx, relPath, std::vector<uint8_t>(text.begin(), text.end()));
}

std::vector<uint8_t> readSource(const Context& ctx, const std::string& relPath) {
    std::filesystem::path path = std::filesystem::path(ctx.sourceDir) / relPath;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "forge: missing source %s\n", path.c_str());
        std::exit(1);
    }
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace forge

int main(int argc, char** argv) {
    forge::Context ctx;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--source") && i + 1 < argc) ctx.sourceDir = argv[++i];
        else if (!std::strcmp(argv[i], "--out") && i + 1 < argc) ctx.outDir = argv[++i];
        else if (!std::strcmp(argv[i], "--contact-sheet")) ctx.contactSheet = true;
        else {
            std::fprintf(stderr, "usage: %s --source DIR --out DIR [--contact-sheet]\n", argv[0]);
            return 2;
        }
    }
    if (ctx.sourceDir.empty() || ctx.outDir.empty()) {
        std::fprintf(stderr, "usage: %s --source DIR --out DIR [--contact-sheet]\n", argv[0]);
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
    std::printf("forge: %d files written, %d up to date\n", ctx.filesWritten, ctx.filesKept);
    return 0;
}
