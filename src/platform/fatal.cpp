#include "platform/fatal.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <SDL.h>

#include "platform/window.h"

namespace platform {

namespace {
FatalHook gFatalHook = nullptr;
void (*gBeforeExit)() = nullptr;

// Code page 1251, bytes 0x80..0xBF, as Unicode code points.
const unsigned short kCp1251High[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
    0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0xFFFD, 0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

void appendUtf8(std::string& out, unsigned cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}
}  // namespace

std::string cp1251ToUtf8(const char* text) {
    std::string out;
    if (!text) return out;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        unsigned c = *p;
        if (c < 0x80) appendUtf8(out, c);
        else if (c < 0xC0) appendUtf8(out, kCp1251High[c - 0x80]);
        else appendUtf8(out, 0x0410 + (c - 0xC0));
    }
    return out;
}

bool interactive() {
    const char* headless = std::getenv("SANDMERE_HEADLESS");
    if (headless && *headless) return false;
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver) return false;
    return std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0;
}

void messageBox(const char* text, const char* caption) {
    std::string utfText = cp1251ToUtf8(text);
    std::string utfCaption = cp1251ToUtf8(caption);
    std::fprintf(stderr, "%s: %s\n", utfCaption.c_str(), utfText.c_str());
    if (interactive()) {
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, utfCaption.c_str(), utfText.c_str(),
                                 static_cast<SDL_Window*>(sdlWindow()));
    }
}

void fatal(const char* text, const char* caption) {
    if (gFatalHook) {
        gFatalHook(text, caption);
        // A hook that returns still ends the process.
    }
    messageBox(text, caption);
    if (gBeforeExit) gBeforeExit();
    std::exit(1);
}

void setFatalHook(FatalHook hook) { gFatalHook = hook; }

void setBeforeExitHook(void (*hook)()) { gBeforeExit = hook; }

}  // namespace platform
