// sandmere-click-latency: how long the game takes from a click on a group to the first picture
// that shows the group breaking, in a real window.
//
//   sandmere-click-latency [--clicks N] BOT [ARGUMENTS...]
//
// BOT is the autoplay bot watching a level with its hands off and aiming for the person at the
// window (sandmere-bot --watch 1 --hands-off --aim --data DIR): whenever the board rests it
// prints "aim X Y", the window point of a group to break, and after a click broke one,
// "changed MS", the monotonic clock's milliseconds since boot when the first picture showing it
// had been presented.
// This program moves the X server's pointer to the aim, lets the hover settle, clicks there
// through the server, and times the click to that picture; N clicks (default 7), then the bot
// is ended with SIGTERM. It prints every click and a last line a script can read:
// "click-latency clicks= median_ms= least_ms= most_ms=". Use it on an X server of one's own.
#include <X11/Xlib.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "end_program.h"

namespace {

using Clock = std::chrono::steady_clock;

long long nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

// The monotonic clock in milliseconds since boot, as the game reads it (wrapping as it does).
uint32_t monotonicMs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<uint32_t>(static_cast<uint64_t>(t.tv_sec) * 1000u + static_cast<uint64_t>(t.tv_nsec) / 1000000u);
}

// Lines of the bot's output, read as they come.
struct LineReader {
    int fd = -1;
    std::string pending;
    // The next line within timeoutMs, false on time-out or the end of the output.
    bool next(std::string& line, int timeoutMs) {
        const long long until = nowNs() + static_cast<long long>(timeoutMs) * 1000000LL;
        for (;;) {
            size_t end = pending.find('\n');
            if (end != std::string::npos) {
                line = pending.substr(0, end);
                pending.erase(0, end + 1);
                return true;
            }
            const long long left = (until - nowNs()) / 1000000LL;
            if (left <= 0) return false;
            pollfd p{fd, POLLIN, 0};
            if (poll(&p, 1, static_cast<int>(left)) <= 0) continue;
            char buffer[512];
            ssize_t n = read(fd, buffer, sizeof buffer);
            if (n <= 0) return false;
            pending.append(buffer, static_cast<size_t>(n));
        }
    }
};

// The game's window: the last viewable top-level window on the server.
Window gameWindow(Display* display) {
    Window root = DefaultRootWindow(display), parent = 0, *children = nullptr, found = 0;
    unsigned count = 0;
    if (!XQueryTree(display, root, &root, &parent, &children, &count)) return 0;
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes a;
        if (XGetWindowAttributes(display, children[i], &a) && a.map_state == IsViewable && a.c_class == InputOutput)
            found = children[i];
    }
    if (children) XFree(children);
    return found;
}

void sendButton(Display* display, Window window, int x, int y, int rootX, int rootY, bool press) {
    XEvent e;
    std::memset(&e, 0, sizeof e);
    e.xbutton.type = press ? ButtonPress : ButtonRelease;
    e.xbutton.display = display;
    e.xbutton.window = window;
    e.xbutton.root = DefaultRootWindow(display);
    e.xbutton.time = CurrentTime;
    e.xbutton.x = x;
    e.xbutton.y = y;
    e.xbutton.x_root = rootX;
    e.xbutton.y_root = rootY;
    e.xbutton.state = press ? 0 : Button1Mask;
    e.xbutton.button = Button1;
    e.xbutton.same_screen = True;
    XSendEvent(display, window, True, press ? ButtonPressMask : ButtonReleaseMask, &e);
}

}  // namespace

int main(int argc, char** argv) {
    int clicks = 7;
    int first = 1;
    if (argc > 2 && std::strcmp(argv[1], "--clicks") == 0) {
        clicks = std::max(1, std::atoi(argv[2]));
        first = 3;
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: sandmere-click-latency [--clicks N] BOT [ARGUMENTS...]\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "sandmere-click-latency: no X display (DISPLAY is unset or the server is away)\n");
        return 2;
    }
    int out[2];
    if (pipe(out) != 0) return 1;
    pid_t pid = fork();
    if (pid < 0) return 1;
    if (pid == 0) {
        dup2(out[1], 1);
        close(out[0]);
        close(out[1]);
        execvp(argv[first], argv + first);
        _exit(127);
    }
    close(out[1]);
    LineReader reader{out[0], {}};

    std::vector<double> ms;
    int misses = 0;
    std::string line;
    // The first aim waits for the loading and the level's opening.
    int waitMs = 60000;
    while (static_cast<int>(ms.size()) < clicks && misses < clicks) {
        int x = 0, y = 0;
        if (!reader.next(line, waitMs)) {
            std::fprintf(stderr, "sandmere-click-latency: the bot aimed at nothing within %d s\n", waitMs / 1000);
            break;
        }
        waitMs = 15000;
        if (std::sscanf(line.c_str(), "aim %d %d", &x, &y) != 2) continue;
        Window window = gameWindow(display);
        if (!window) {
            std::fprintf(stderr, "sandmere-click-latency: no game window on the server\n");
            break;
        }
        int rootX = 0, rootY = 0;
        Window child = 0;
        XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, &rootX, &rootY, &child);
        XWarpPointer(display, None, DefaultRootWindow(display), 0, 0, 0, 0, rootX, rootY);
        XSync(display, False);
        usleep(400000);  // the hover highlight settles, as under a person's hand
        const uint32_t t0 = monotonicMs();
        sendButton(display, window, x, y, rootX, rootY, true);
        sendButton(display, window, x, y, rootX, rootY, false);
        XFlush(display);
        unsigned changed = 0;
        bool seen = false;
        while (!seen && reader.next(line, 3000)) seen = std::sscanf(line.c_str(), "changed %u", &changed) == 1;
        if (!seen) {
            ++misses;
            std::printf("click %d at %d,%d: no changed picture within 3 s\n", static_cast<int>(ms.size()) + 1, x, y);
            continue;
        }
        ms.push_back(static_cast<double>(static_cast<uint32_t>(changed - t0)));
        std::printf("click %zu at %d,%d: %.1f ms\n", ms.size(), x, y, ms.back());
        std::fflush(stdout);
    }
    endProgram(pid, 5000);
    XCloseDisplay(display);
    if (ms.empty()) return 1;
    std::vector<double> sorted = ms;
    std::sort(sorted.begin(), sorted.end());
    const size_t n = sorted.size();
    const double median = n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2.0;
    std::printf("click-latency clicks=%zu median_ms=%.1f least_ms=%.1f most_ms=%.1f\n", n, median, sorted.front(),
                sorted.back());
    return 0;
}
