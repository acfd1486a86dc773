// The picture in the window: the 3D aspect stays the picture's whatever the window's size, and
// the letterbox follows the size the window really has, checked on a private X server.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <string>

#include "app/application.h"
#include "app/play_runner.h"
#include "board_support.h"
#include "platform/window.h"
#include "render/device.h"
#include "render/sprites.h"
#include "render/textures.h"

// X11 last: its macros (None among them) would clash with the game's names.
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

TEST(WindowSize, TheThreeDAspectIsThePicturesWhateverTheWindow) {
    resetGameState();
    platform::setHeadless(true);
    platform::Event e;
    e.type = platform::EventType::Resize;
    e.x = 1920;
    e.y = 1080;
    handleEvent(e);
    EXPECT_EQ(application().clientWidth, 1920);
    // The picture is 800 x 600 in any window: x scales by 3/4 of y.
    const Matrix4& p = perspectiveProjection();
    EXPECT_NEAR(p.m[0][0], p.m[1][1] * 0.75f, 1e-5f);
    platform::setHeadless(false);
    resetGameState();
}

// An X server of our own (Xvfb) for the length of a test; none when Xvfb is not installed.
class PrivateXServer {
public:
    PrivateXServer(int width, int height) {
        if (!std::filesystem::exists("/usr/bin/Xvfb")) return;
        // The server picks a free display itself and names it on the pipe once it listens, so
        // that servers started side by side (or in another root on the same machine) never meet.
        int fds[2];
        if (pipe(fds) != 0) return;
        std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
        pid_ = fork();
        if (pid_ == 0) {
            close(fds[0]);
            int null = open("/dev/null", O_WRONLY);
            dup2(null, 1);
            dup2(null, 2);
            std::string fd = std::to_string(fds[1]);
            // -noreset: the server would reset when its last client leaves, refusing the next one.
            execl("/usr/bin/Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten",
                  "tcp", "-noreset", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        std::string number;
        char c;
        while (pid_ > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        close(fds[0]);
        if (number.empty()) return;
        display_ = ":" + number;
        // The test's own connection stays open for the length of the test.
        connection_ = XOpenDisplay(display_.c_str());
    }
    ~PrivateXServer() {
        if (connection_) XCloseDisplay(connection_);
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    bool up() const { return connection_ != nullptr; }
    Display* connection() const { return connection_; }
    const std::string& display() const { return display_; }

private:
    std::string display_;
    pid_t pid_ = -1;
    Display* connection_ = nullptr;
};

// What the X server shows in the window, as 0xRRGGBB.
unsigned long windowPixel(Display* d, Window w, int x, int y) {
    XImage* image = XGetImage(d, w, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return 0xFFFFFFFFul;
    unsigned long p = XGetPixel(image, 0, 0) & 0xFFFFFFul;
    XDestroyImage(image);
    return p;
}

// The game's window on a private X server for the length of a test; the display, the video
// driver and the headless switch are put back after it.
class WindowOnServer {
public:
    WindowOnServer(int width, int height) : server_(width, height) {
        const char* previous = std::getenv("DISPLAY");
        hadDisplay_ = previous != nullptr;
        if (previous) previousDisplay_ = previous;
    }
    ~WindowOnServer() {
        if (opened_) {
            shutdownDevice();
            platform::quitVideo();
        }
        platform::setHeadless(true);
        unsetenv("SDL_VIDEODRIVER");
        if (hadDisplay_) setenv("DISPLAY", previousDisplay_.c_str(), 1);
        else unsetenv("DISPLAY");
    }
    bool serverUp() const { return server_.up(); }
    ::testing::AssertionResult open(bool fullScreen) {
        setenv("DISPLAY", server_.display().c_str(), 1);
        setenv("SDL_VIDEODRIVER", "x11", 1);
        platform::setHeadless(false);
        if (!platform::initVideo()) return ::testing::AssertionFailure() << SDL_GetError();
        opened_ = true;
        if (!platform::createWindow(fullScreen)) return ::testing::AssertionFailure() << "no window";
        platform::showWindow();
        if (!initDevice()) return ::testing::AssertionFailure() << "no device";
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (!SDL_GetWindowWMInfo(sdl(), &info)) return ::testing::AssertionFailure() << SDL_GetError();
        window_ = info.info.x11.window;
        return ::testing::AssertionSuccess();
    }
    SDL_Window* sdl() const { return static_cast<SDL_Window*>(platform::sdlWindow()); }
    Display* connection() const { return server_.connection(); }
    Window window() const { return window_; }
    // Asks for a client size and takes events until the window has it.
    ::testing::AssertionResult resize(int width, int height) {
        SDL_SetWindowSize(sdl(), width, height);
        int cw = 0, ch = 0;
        platform::Event event;
        for (int tries = 0; tries < 200 && (cw != width || ch != height); ++tries) {
            XSync(connection(), False);
            while (platform::pollEvent(event)) {
            }
            platform::clientSize(cw, ch);
        }
        if (cw == width && ch == height) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the window stayed " << cw << " x " << ch;
    }
    // Two red frames with blue rectangles (picture coordinates) on them, as the loop draws
    // them: the window system may hand a new size to the drawable only with the first frame.
    void drawRedWithBlue(std::initializer_list<std::array<float, 4>> rects, int frames = 2) {
        for (int i = 0; i < frames; ++i) {
            setTint(1, 1, 1, 1);
            setCulling(false);
            begin2D();
            beginScene();
            clearTarget(0xFFFF0000u);
            bindTexture(nullptr);
            for (const auto& r : rects) drawScreenRect(r[0], r[1], r[2], r[3], 0, 0, 1, 1, 0xFF0000FFu);
            endScene();
            presentFrame();
        }
    }

private:
    PrivateXServer server_;
    bool hadDisplay_ = false;
    std::string previousDisplay_;
    bool opened_ = false;
    Window window_ = 0;
};

// Under a server with no window manager a full-screen window keeps the size it was made with:
// the picture must fill that window, not be drawn for the screen's size and cropped.
TEST(WindowSize, AFullScreenWindowLeftUnresizedShowsTheWholePicture) {
    WindowOnServer game(1024, 768);
    if (!game.serverUp()) GTEST_SKIP() << "no Xvfb to run a window on";
    ASSERT_TRUE(game.open(true));
    platform::Event ignored;
    while (platform::pollEvent(ignored)) {
    }
    int cw = 0, ch = 0;
    platform::clientSize(cw, ch);
    // A red picture with a blue frame two pixels wide at its edges.
    game.drawRedWithBlue({{0, 0, 800, 2}, {0, 598, 800, 600}, {0, 0, 2, 600}, {798, 0, 800, 600}}, 1);

    Display* d = game.connection();
    Window w = game.window();
    XWindowAttributes a;
    ASSERT_TRUE(XGetWindowAttributes(d, w, &a));
    EXPECT_EQ(cw, a.width);
    EXPECT_EQ(ch, a.height);
    int vx, vy, vw, vh;
    platform::fitPicture(a.width, a.height, vx, vy, vw, vh);
    // The frame shows at every corner of the letterbox, the red inside.
    EXPECT_EQ(windowPixel(d, w, vx, vy), 0x0000FFul);
    EXPECT_EQ(windowPixel(d, w, vx + vw - 1, vy), 0x0000FFul);
    EXPECT_EQ(windowPixel(d, w, vx, vy + vh - 1), 0x0000FFul);
    EXPECT_EQ(windowPixel(d, w, vx + vw - 1, vy + vh - 1), 0x0000FFul);
    EXPECT_EQ(windowPixel(d, w, vx + vw / 2, vy + vh / 2), 0xFF0000ul);
}

// A window the player made 1280 x 720: the picture is letterboxed into it, and a click lands
// on the figure drawn under the pointer.
TEST(WindowSize, AResizedWindowLetterboxesAndAClickHitsTheFigureUnderThePointer) {
    WindowOnServer game(1600, 900);
    if (!game.serverUp()) GTEST_SKIP() << "no Xvfb to run a window on";
    ASSERT_TRUE(game.open(false));
    EXPECT_TRUE(SDL_GetWindowFlags(game.sdl()) & SDL_WINDOW_RESIZABLE);
    ASSERT_TRUE(game.resize(1280, 720));
    int vx, vy, vw, vh;
    platform::pictureViewport(vx, vy, vw, vh);
    EXPECT_EQ(vx, 160);  // 960 x 720, centred
    EXPECT_EQ(vw, 960);
    EXPECT_EQ(vh, 720);

    // Row 3 holds a pair of one kind at columns 7 and 8; the picture shows the cell (3, 7) blue.
    board_test::freshBoard(5);
    std::vector<std::string> rows;
    for (int r = 0; r < 11; ++r) rows.push_back(r % 2 ? "ijijijijijij" : "jijijijijiji");
    rows[3] = "ijijijiaajij";
    board_test::setGrid(rows);
    board().figureCount = 12;
    const Vec2 at = cellCentre(3, 7);
    const float px = 400.0f + at.x, py = 300.0f - at.y;
    game.drawRedWithBlue({{px - 27, py - 27, px + 27, py + 27}});
    Display* d = game.connection();
    Window w = game.window();
    const int wx = vx + static_cast<int>(px * vw / 800.0f), wy = vy + static_cast<int>(py * vh / 600.0f);
    EXPECT_EQ(windowPixel(d, w, wx, wy), 0x0000FFul);
    EXPECT_EQ(windowPixel(d, w, wx + 40, wy), 0xFF0000ul);  // the next cell, 54 x 1.2 pixels on
    EXPECT_EQ(windowPixel(d, w, 80, 360), 0x000000ul);      // the letterbox's margin

    // The pointer goes there as the player moves it; the click breaks that figure's group.
    XWarpPointer(d, 0, w, 0, 0, 0, 0, wx, wy);
    XSync(d, False);
    float cx = -1, cy = -1;
    platform::Event event;
    for (int tries = 0; tries < 200; ++tries) {
        while (platform::pollEvent(event)) {
        }
        platform::cursorPosition(cx, cy);
        if (std::fabs(cx - px) < 2 && std::fabs(cy - py) < 2) break;
        XSync(d, False);
    }
    EXPECT_NEAR(cx, px, 1.0f);
    EXPECT_NEAR(cy, py, 1.0f);
    board_test::frame();  // the board reads the pointer in its frame, as in play
    boardLeftDown();
    EXPECT_EQ(board().movesUsed, 1);
    EXPECT_EQ(board().cells[3][7].breakMark, 1);
    EXPECT_EQ(board().cells[3][8].breakMark, 1);
}

// A window of twice the picture's size shows every picture pixel as a sharp 2 x 2 block.
TEST(WindowSize, AWholeMultipleOfThePictureStaysSharp) {
    WindowOnServer game(1600, 1200);
    if (!game.serverUp()) GTEST_SKIP() << "no Xvfb to run a window on";
    ASSERT_TRUE(game.open(false));
    ASSERT_TRUE(game.resize(1600, 1200));
    // A red picture with one blue column of one pixel at x = 100.
    game.drawRedWithBlue({{100, 0, 101, 600}});
    // Exactly window columns 200 and 201, unblended.
    Display* d = game.connection();
    Window w = game.window();
    EXPECT_EQ(windowPixel(d, w, 199, 600), 0xFF0000ul);
    EXPECT_EQ(windowPixel(d, w, 200, 600), 0x0000FFul);
    EXPECT_EQ(windowPixel(d, w, 201, 600), 0x0000FFul);
    EXPECT_EQ(windowPixel(d, w, 202, 600), 0xFF0000ul);
}

// The letterbox of any area: the largest 4:3 rectangle, centred, whole multiples exactly.
TEST(WindowSize, TheLetterboxFitsEveryArea) {
    int x, y, w, h;
    platform::fitPicture(1600, 1200, x, y, w, h);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(w, 1600);
    EXPECT_EQ(h, 1200);
    platform::fitPicture(2560, 1440, x, y, w, h);  // a high-density full screen
    EXPECT_EQ(x, 320);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(w, 1920);
    EXPECT_EQ(h, 1440);
    platform::fitPicture(800, 1000, x, y, w, h);  // taller than wide: bands above and below
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 200);
    EXPECT_EQ(h, 600);
    platform::fitPicture(1, 1, x, y, w, h);
    EXPECT_GE(w, 1);
    EXPECT_GE(h, 1);
}

// On a screen of double density the window counts units and its drawable pixels: the pointer
// lands on the picture where the letterbox shows it either way.
TEST(WindowSize, ThePointerMeetsThePictureOnHighDensityScreens) {
    float px, py;
    // 1280 x 720 units, 2560 x 1440 pixels: the picture is 1920 x 1440 pixels from x = 320.
    platform::windowPointToPicture(160.0f, 0.0f, 1280, 720, 2560, 1440, px, py);
    EXPECT_FLOAT_EQ(px, 0.0f);
    EXPECT_FLOAT_EQ(py, 0.0f);
    platform::windowPointToPicture(640.0f, 360.0f, 1280, 720, 2560, 1440, px, py);
    EXPECT_FLOAT_EQ(px, 400.0f);
    EXPECT_FLOAT_EQ(py, 300.0f);
    platform::windowPointToPicture(1120.0f, 720.0f, 1280, 720, 2560, 1440, px, py);
    EXPECT_FLOAT_EQ(px, 800.0f);
    EXPECT_FLOAT_EQ(py, 600.0f);
    // The same window on an ordinary screen gives the same picture points.
    platform::windowPointToPicture(640.0f, 360.0f, 1280, 720, 1280, 720, px, py);
    EXPECT_FLOAT_EQ(px, 400.0f);
    EXPECT_FLOAT_EQ(py, 300.0f);
}

}  // namespace
