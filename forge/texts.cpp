// The hand-written texts: string tables, menus and their captions, and the particle effects.
#include <cstdio>
#include <cstdlib>

#include "forge.h"

namespace forge {

namespace {

// Data texts are CR LF throughout and end with a line end (the game overwrites the last byte).
void checkText(const std::string& name, const std::vector<uint8_t>& bytes) {
    bool ok = bytes.size() >= 2 && bytes[bytes.size() - 2] == '\r' && bytes.back() == '\n';
    for (size_t i = 0; ok && i < bytes.size(); ++i) {
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) ok = false;
        if (bytes[i] == '\r' && (i + 1 >= bytes.size() || bytes[i + 1] != '\n')) ok = false;
    }
    if (!ok) {
        std::fprintf(stderr, "forge: %s must use CR LF line ends and end with one\n", name.c_str());
        std::exit(1);
    }
}

void copyText(Context& ctx, const std::string& relPath) {
    std::vector<uint8_t> bytes = readSource(ctx, relPath);
    checkText(relPath, bytes);
    writeOutput(ctx, relPath, bytes);
}

}  // namespace

void forgeTexts(Context& ctx) {
    for (const char* name : {"strings2.txt", "tips2.txt", "menu.txt", "menutext2.txt"}) copyText(ctx, name);
    // One effect per file, named by the file name without ".par".
    for (const std::string& name : listSources(ctx, "effects")) {
        if (name.size() <= 4 || name.compare(name.size() - 4, 4, ".par") != 0) continue;
        copyText(ctx, "effects/" + name);
    }
}

}  // namespace forge
