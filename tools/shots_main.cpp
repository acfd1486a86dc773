// sandmere-shots DATA_DIR OUT_DIR: plays the game headless through the play runner and keeps
// pictures of it for the player's guide and the desktop metadata: the first level of the
// adventure and a later level of the puzzle mode, a few moves in ("adventure.png",
// "puzzle.png", 800 x 600), and the same at half size as small JPEGs ("adventure-small.jpg",
// "puzzle-small.jpg").
#include <cstdio>
#include <fstream>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/frame_clock.h"
#include "app/play_runner.h"
#include "app/scene.h"
#include "board/board.h"
#include "platform/image.h"
#include "platform/random.h"
#include "progress/game_modes.h"
#include "progress/profiles.h"
#include "render/device.h"

namespace fs = std::filesystem;

namespace {

bool keep(const fs::path& out, const std::string& name) {
    std::vector<uint8_t> rgba(static_cast<size_t>(platform::kPictureWidth) * platform::kPictureHeight * 4);
    if (!readPresentedFrame(rgba.data())) return false;
    const int w = platform::kPictureWidth, h = platform::kPictureHeight;
    if (!platform::writePng((out / (name + ".png")).c_str(), rgba.data(), w, h)) return false;
    // Half size, each pixel the mean of four, as a JPEG: small enough to keep in the tree.
    std::vector<uint8_t> half(static_cast<size_t>(w / 2) * (h / 2) * 4);
    for (int y = 0; y < h / 2; ++y)
        for (int x = 0; x < w / 2; ++x)
            for (int c = 0; c < 4; ++c) {
                int sum = 0;
                for (int dy = 0; dy < 2; ++dy)
                    for (int dx = 0; dx < 2; ++dx) sum += rgba[((static_cast<size_t>(2 * y + dy) * w) + 2 * x + dx) * 4 + c];
                half[(static_cast<size_t>(y) * (w / 2) + x) * 4 + c] = static_cast<uint8_t>((sum + 2) / 4);
            }
    std::vector<uint8_t> jpeg = platform::encodeJpeg(half.data(), w / 2, h / 2, 85);
    std::ofstream file(out / (name + "-small.jpg"), std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(jpeg.data()), static_cast<std::streamsize>(jpeg.size()));
    return !jpeg.empty() && static_cast<bool>(file);
}

// A level of a mode, a few of its largest groups clicked as a player would, then kept.
bool shootLevel(PlayRunner& runner, const fs::path& out, int mode, int level, uint32_t seed, const std::string& name) {
    setGameMode(mode);
    setLives(3);
    platform::srand(seed);
    beginModeLevel(level);
    runner.frames(120);
    for (int move = 0; move < 3; ++move) {
        int bestRow = -1, bestColumn = -1, bestSize = 1;
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kColumns; ++c) {
                if (!hasFigure(r, c)) continue;
                Vec2 at = cellCentre(r, c);
                runner.moveTo(at.x, at.y);
                runner.frames(1);
                if (board().groupSize > bestSize) {
                    bestSize = board().groupSize;
                    bestRow = r;
                    bestColumn = c;
                }
            }
        if (bestRow < 0) break;
        Vec2 at = cellCentre(bestRow, bestColumn);
        runner.click(at.x, at.y);
        runner.frames(move == 2 ? 14 : 150);
    }
    return keep(out, name);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s DATA_DIR OUT_DIR\n", argv[0]);
        return 2;
    }
    const fs::path data = fs::absolute(argv[1]), out = fs::absolute(argv[2]);
    std::error_code ec;
    fs::create_directories(out, ec);
    // A folder of our own whose Data mirrors the data set, so the run's player stays there.
    std::string pattern = (fs::temp_directory_path() / "sandmere-shots-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data())) return 1;
    const fs::path install = buffer.data();
    fs::create_directories(install / "Data");
    for (const auto& entry : fs::directory_iterator(data))
        if (entry.path().filename() != "settings")
            fs::create_symlink(entry.path(), install / "Data" / entry.path().filename(), ec);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    platform::setHeadless(true);

    int result = 1;
    {
        PlayRunner runner(install.string());
        if (runner.start()) {
            // A key shortens each splash and starts the hand-over once the loading is done.
            for (int i = 0; i < 3000 && currentScene() != mapScene(); ++i) {
                if (i % 10 == 0) runner.key(32);
                runner.frames(1);
            }
            createProfile("PLAYER");
            selectProfile(0);
            bool ok = shootLevel(runner, out, 0, 0, 7, "adventure");
            ok = shootLevel(runner, out, 2, 47, 11, "puzzle") && ok;
            result = ok ? 0 : 1;
            runner.close();
        }
    }
    fs::remove_all(install, ec);
    if (result == 0) std::printf("shots: adventure.png, puzzle.png and their small copies in %s\n", out.c_str());
    return result;
}
