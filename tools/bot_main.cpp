// sandmere-bot: plays levels headless with the autoplay bot and reports, per level and mode,
// how often it won, in how many moves, in how much time and with what score.
//
//   sandmere-bot --levels 1-129 --modes all --seeds 10 [--data DIR] [--min-wins 8] [--quiet]
//                [--jobs N]
//   sandmere-bot --file some.lvl --levels 7 --modes puzzle --seeds 3
//
// The board is one per process, so the runs are shared out among --jobs worker processes
// (one per processor by default); the table comes out in order all the same.
//
// Levels are numbered as their files are (1..129). The exit code is 1 when some level and mode
// was won in fewer than --min-wins of its seeds, 2 on bad arguments or a missing level file.
//
//   sandmere-bot --watch 7 --mode puzzle [--data DIR] [--careless]
//
// opens the game's real window and lets the bot play the level at a person's pace, about a
// click a second, so that one can watch it being played, won and lost. The game runs on a copy
// of the data folder's entries (its own settings folder), so no player's files are touched;
// after each level's end it starts the next level (or the same one after a loss). --careless
// breaks the smallest groups away from the squares, so that a limited level is lost; --hands-off
// only starts the levels and leaves the playing to the person at the window. --aim (with
// --hands-off) is for a program that plays the window from outside: whenever the board rests it
// prints "aim X Y", the window point of the group the bot would break, and after a click breaks a
// group, "changed MS", the monotonic clock's milliseconds (since boot) when the first picture
// showing it had been presented (sandmere-click-latency times the click to that picture).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "app/application.h"
#include "app/scene.h"
#include "board/bot.h"
#include "board/falling.h"
#include "board/level.h"
#include "board/outcome.h"
#include "board/play.h"
#include "menus/menus.h"
#include "platform/clock.h"
#include "platform/memory.h"
#include "platform/window.h"
#include "progress/game_modes.h"
#include "progress/profiles.h"

namespace {

struct Args {
    std::vector<int> levels;  // 1-based
    std::vector<GameMode> modes;
    int seeds = 10;
    int minWins = 8;
    std::string dataDir = "build/Data";
    std::string file;
    bool quiet = false;
    bool show = false;  // every run's end and its final board
    int jobs = 0;       // 0: one per processor
    int watch = 0;      // a level to watch in the window (1-based), 0 for none
    GameMode watchMode = kAdventure;
    bool careless = false;
    bool handsOff = false;
    bool aim = false;
};

bool parseLevels(const char* text, std::vector<int>& out) {
    std::stringstream list(text);
    std::string part;
    while (std::getline(list, part, ',')) {
        int a = 0, b = 0;
        if (std::sscanf(part.c_str(), "%d-%d", &a, &b) == 2) {
        } else if (std::sscanf(part.c_str(), "%d", &a) == 1) {
            b = a;
        } else {
            return false;
        }
        if (a < 1 || b > kLevelCount || a > b) return false;
        for (int n = a; n <= b; ++n) out.push_back(n);
    }
    return !out.empty();
}

bool parseModes(const char* text, std::vector<GameMode>& out) {
    std::stringstream list(text);
    std::string part;
    while (std::getline(list, part, ',')) {
        if (part == "all") {
            out = {kAdventure, kPuzzle, kTimeless};
        } else if (part == "adventure") {
            out.push_back(kAdventure);
        } else if (part == "puzzle") {
            out.push_back(kPuzzle);
        } else if (part == "timeless") {
            out.push_back(kTimeless);
        } else {
            return false;
        }
    }
    return !out.empty();
}

const char* modeName(GameMode m) { return m == kAdventure ? "adventure" : m == kPuzzle ? "puzzle" : "timeless"; }

bool readText(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::stringstream s;
    s << in.rdbuf();
    text = s.str();
    // As the game reads a level file: its last byte (the final line end) ends the text.
    if (!text.empty()) text.pop_back();
    return true;
}

int usage() {
    std::fprintf(stderr,
                 "usage: sandmere-bot --levels 1-129 --modes all|adventure,puzzle,timeless --seeds N\n"
                 "                    [--data DIR] [--file LEVEL.lvl] [--min-wins N] [--quiet] [--show]\n"
                 "                    [--jobs N]\n"
                 "       sandmere-bot --watch LEVEL [--mode adventure|timeless|puzzle] [--data DIR] [--careless]\n"
                 "                    [--hands-off [--aim]]\n");
    return 2;
}

struct Row {
    int level;
    GameMode mode;
    int wins = 0;
    int runs = 0;
    double moves = 0, timeS = 0, score = 0, simMs = 0;
    int movesLimit = 0;
    float timeLimitS = 0;
};

bool writeAll(int fd, const void* data, size_t size) {
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = write(fd, p, size);
        if (n <= 0) return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool readAll(int fd, void* data, size_t size) {
    auto* p = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t n = read(fd, p, size);
        if (n <= 0) return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

void showBoard() {
    const Board& b = board();
    for (int y = 0; y < kRows; ++y) {
        std::printf("    ");
        for (int x = 0; x < kColumns; ++x) {
            const Cell& c = b.cells[y][x];
            char ch = c.squares < 0 ? '.' : c.figure < 0 ? '-' : static_cast<char>((c.chained ? 'A' : 'a') + c.figure);
            std::printf("%c%c", ch, c.squares > 0 ? static_cast<char>('0' + c.squares) : ' ');
        }
        std::printf("\n");
    }
}

// Plays every seed of one level and mode into its row.
void playRow(const Args& args, const std::string& text, Row& row) {
    for (int s = 0; s < args.seeds; ++s) {
        BotOptions o;
        o.levelIndex = row.level - 1;
        o.mode = row.mode;
        o.seed = static_cast<uint32_t>(row.level * 1000 + s * 7 + 1);
        o.levelText = text.c_str();
        o.maxMoves = 2000;
        const auto t0 = std::chrono::steady_clock::now();
        const BotResult r = playLevelWithBot(o);
        const auto t1 = std::chrono::steady_clock::now();
        if (args.show) {
            std::printf("  seed %u: %s in %d moves, %d hammer strokes, %d targets left, %d frames\n", o.seed,
                        r.won ? "won" : r.lost ? "lost" : "unfinished", r.moves, r.hammerStrokes, r.targetsLeft,
                        r.frames);
            showBoard();
        }
        row.runs += 1;
        row.wins += r.won ? 1 : 0;
        row.moves += r.moves;
        row.timeS += r.timeMs / 1000.0;
        row.score += r.score;
        row.simMs += std::chrono::duration<double, std::milli>(t1 - t0).count();
        row.movesLimit = r.movesLimit;
        row.timeLimitS = r.timeLimitMs / 1000.0f;
    }
}

// ---- watching a level in the window ----

// The smallest group far from any square or chain, for a player who does not care.
bool chooseCarelessMove(BotChoice& choice) {
    Board& b = board();
    choice = BotChoice{};
    if (!countGroups()) return false;
    int size[kCellCount] = {};
    int targets[kCellCount] = {};
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            const int id = b.cells[r][c].groupId;
            if (id < 0 || id >= kCellCount || !hasFigure(r, c)) continue;
            if (size[id] == 0) {
                choice.row = r;
                choice.column = c;
            }
            size[id] += 1;
            targets[id] += b.cells[r][c].squares > 0 || b.cells[r][c].chained ? 1 : 0;
        }
    int best = -1;
    for (int id = 0; id < b.groupCount && id < kCellCount; ++id) {
        if (size[id] < 2) continue;
        if (best < 0 || targets[id] * 100 + size[id] < targets[best] * 100 + size[best]) best = id;
    }
    if (best < 0) return false;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c)
            if (b.cells[r][c].groupId == best && hasFigure(r, c)) {
                choice.row = r;
                choice.column = c;
                return true;
            }
    return false;
}

// The mouse to a logical point, as a person moves it.
void pointAt(float x, float y) { platform::warpCursor(400.0f + x, 300.0f - y); }

void pressHere() {
    Scene* scene = currentScene();
    if (!scene) return;
    scene->leftDown();
    scene->leftUp();
}

int watchLevel(const Args& args) {
    namespace fs = std::filesystem;
    platform::returnFreedMemoryEarly();  // as the game does, so that its memory is the game's
    std::error_code error;
    const fs::path data = fs::absolute(args.dataDir, error);
    if (!fs::is_directory(data)) {
        std::fprintf(stderr, "sandmere-bot: no data folder %s\n", args.dataDir.c_str());
        return 2;
    }
    // A folder of its own whose Data/ mirrors the data set, with an empty settings folder.
    char pattern[] = "/tmp/sandmere-watch-XXXXXX";
    if (!mkdtemp(pattern)) {
        std::perror("sandmere-bot: mkdtemp");
        return 2;
    }
    const fs::path install = pattern;
    fs::create_directories(install / "Data");
    for (const auto& entry : fs::directory_iterator(data))
        if (entry.path().filename() != "settings")
            fs::create_symlink(entry.path(), install / "Data" / entry.path().filename(), error);
    fs::current_path(install);

    const StartResult start = startUp(false);
    if (!start.run) return start.exitCode;
    ApplicationState& app = application();
    int level = args.watch - 1;
    bool started = false;
    uint32_t nextStep = 0;
    uint32_t endSince = 0;
    bool aimed = false;
    bool won = false;
    BotChoice choice;
    bool aimShown = false;
    int movesSeen = 0;
    bool clickPending = false;
    while (!app.quitRequested) {
        if (handlePendingEvent()) {
            // A click from outside broke a group: the next frame is the first to show it.
            if (args.aim && board().movesUsed != movesSeen) clickPending = true;
            continue;
        }
        frameTurn();
        if (clickPending) {
            std::printf("changed %u\n", app.presentedMs);
            std::fflush(stdout);
            clickPending = false;
            aimShown = false;
        }
        movesSeen = board().movesUsed;
        if (!app.dataLoaded || app.loadRequested) continue;
        const uint32_t now = platform::nowMs();
        Board& b = board();
        if (!started) {
            if (profileCount() == 0) createProfile("WATCHER");
            selectProfile(0);
            setGameMode(args.watchMode);
            setLives(3);
            setTipFlag(0, false);
            // Lives and trophies are held for the run: no trophy room breaks into the play.
            holdOutcomesInMemory();
            beginModeLevel(level);
            started = true;
            nextStep = now + 2000;
            continue;
        }
        // A won or lost level stands for a while (or has left for the map); then the next
        // level, or the same again.
        const bool away = currentScene() != gameScene();
        if (away || b.levelComplete || b.levelLost || b.betweenLevels || b.gameFinished || menuOpen()) {
            if (!endSince) {
                endSince = now;
                won = b.levelComplete || b.betweenLevels || b.gameFinished;
            }
            if (now - endSince > 10000) {
                if (won) level = level + 1 < kLevelCount ? level + 1 : 0;
                closeMenusOverBoard();
                setLives(3);
                beginModeLevel(level);
                endSince = 0;
                aimed = false;
                nextStep = now + 2000;
            }
            continue;
        }
        endSince = 0;
        // The program clicking from outside cannot read tips: the bot closes them for it.
        if (args.aim && b.tip.showing) {
            if (now >= nextStep) closeTip();
            continue;
        }
        if (args.aim && !aimShown && botReadyForMove() && chooseBotMove(choice) && !choice.hammer) {
            const Vec2 at = cellCentre(choice.row, choice.column);
            int wx, wy;
            platform::pictureToWindow(400.0f + at.x, 300.0f - at.y, wx, wy);
            std::printf("aim %d %d\n", wx, wy);
            std::fflush(stdout);
            aimShown = true;
        }
        if (args.handsOff) continue;
        if (b.tip.showing) {
            // The bot reads the tip for a moment, then closes it.
            if (now >= nextStep) {
                closeTip();
                nextStep = now + 600;
            }
            continue;
        }
        if (b.paused) resumeGame();
        if (now < nextStep) continue;
        if (!aimed) {
            if (!botReadyForMove()) continue;
            const bool found = args.careless ? chooseCarelessMove(choice) : chooseBotMove(choice);
            if (!found) continue;
            if (choice.hammer && !b.hammerArmed) {
                pointAt(-346.0f + b.hudSlide, -70.0f);
                nextStep = now + 500;
                aimed = true;
                continue;
            }
            const Vec2 at = cellCentre(choice.row, choice.column);
            pointAt(at.x, at.y);
            aimed = true;
            nextStep = now + 600;
            continue;
        }
        // The mouse has rested on the target: press there.
        pressHere();
        aimed = false;
        if (choice.hammer && b.hammerArmed) {
            const Vec2 at = cellCentre(choice.row, choice.column);
            pointAt(at.x, at.y);
            aimed = true;
            choice.hammer = false;
            nextStep = now + 600;
            continue;
        }
        nextStep = now + 400;
    }
    const int code = shutDown();
    fs::current_path("/", error);
    fs::remove_all(install, error);
    return code;
}

}  // namespace

int main(int argc, char** argv) {
    Args args;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
        if (!std::strcmp(a, "--quiet")) {
            args.quiet = true;
        } else if (!std::strcmp(a, "--show")) {
            args.show = true;
        } else if (!std::strcmp(a, "--careless")) {
            args.careless = true;
        } else if (!std::strcmp(a, "--hands-off")) {
            args.handsOff = true;
        } else if (!std::strcmp(a, "--aim")) {
            args.aim = true;
        } else if (!v) {
            return usage();
        } else if (!std::strcmp(a, "--levels")) {
            if (!parseLevels(v, args.levels)) return usage();
            ++i;
        } else if (!std::strcmp(a, "--modes")) {
            if (!parseModes(v, args.modes)) return usage();
            ++i;
        } else if (!std::strcmp(a, "--seeds")) {
            args.seeds = std::atoi(v);
            ++i;
        } else if (!std::strcmp(a, "--watch")) {
            args.watch = std::atoi(v);
            if (args.watch < 1 || args.watch > kLevelCount) return usage();
            ++i;
        } else if (!std::strcmp(a, "--mode")) {
            std::vector<GameMode> one;
            if (!parseModes(v, one) || one.size() != 1) return usage();
            args.watchMode = one[0];
            ++i;
        } else if (!std::strcmp(a, "--jobs")) {
            args.jobs = std::atoi(v);
            if (args.jobs < 1) return usage();
            ++i;
        } else if (!std::strcmp(a, "--min-wins")) {
            args.minWins = std::atoi(v);
            ++i;
        } else if (!std::strcmp(a, "--data")) {
            args.dataDir = v;
            ++i;
        } else if (!std::strcmp(a, "--file")) {
            args.file = v;
            ++i;
        } else {
            return usage();
        }
    }
    if (args.aim && !args.handsOff) return usage();
    if (args.watch) return watchLevel(args);
    if (args.levels.empty()) args.levels = {1};
    if (args.modes.empty()) args.modes = {kAdventure, kPuzzle, kTimeless};
    if (args.seeds < 1) return usage();

    // Every level text is read before any run, so that a missing file stops the whole thing.
    std::vector<std::string> texts;
    for (int level : args.levels) {
        std::string text;
        std::string path = args.file;
        if (path.empty()) {
            char name[32];
            levelFileName(level - 1, name, sizeof name);
            path = args.dataDir + "/levels/" + name;
        }
        if (!readText(path, text)) {
            std::fprintf(stderr, "sandmere-bot: cannot read %s\n", path.c_str());
            return 2;
        }
        texts.push_back(std::move(text));
    }
    std::vector<Row> rows;
    for (int level : args.levels)
        for (GameMode mode : args.modes) rows.push_back(Row{level, mode});

    const auto start = std::chrono::steady_clock::now();
    if (!args.quiet)
        std::printf("%-5s %-9s %6s %7s %7s %8s %8s %9s %8s\n", "level", "mode", "wins", "moves", "limit", "time_s",
                    "limit_s", "score", "sim_ms");
    std::fflush(stdout);
    const int online = static_cast<int>(sysconf(_SC_NPROCESSORS_ONLN));
    int jobs = args.jobs ? args.jobs : std::max(1, online);
    if (args.show) jobs = 1;  // the boards it prints would interleave
    jobs = std::max(1, std::min<int>(jobs, static_cast<int>(rows.size())));
    std::vector<int> pipes(jobs, -1);
    std::vector<pid_t> workers(jobs, -1);
    if (jobs > 1) {
        for (int k = 0; k < jobs; ++k) {
            int fd[2];
            if (pipe(fd) != 0) {
                std::perror("sandmere-bot: pipe");
                return 2;
            }
            const pid_t pid = fork();
            if (pid < 0) {
                std::perror("sandmere-bot: fork");
                return 2;
            }
            if (pid == 0) {
                close(fd[0]);
                for (size_t i = static_cast<size_t>(k); i < rows.size(); i += static_cast<size_t>(jobs)) {
                    playRow(args, texts[i / args.modes.size()], rows[i]);
                    if (!writeAll(fd[1], &rows[i], sizeof(Row))) _exit(3);
                }
                _exit(0);
            }
            close(fd[1]);
            pipes[k] = fd[0];
            workers[k] = pid;
        }
    }
    bool broken = false;
    for (size_t i = 0; i < rows.size(); ++i) {
        Row& row = rows[i];
        if (jobs > 1) {
            // Worker i % jobs plays rows i, i + jobs, ... in that order.
            if (!readAll(pipes[i % static_cast<size_t>(jobs)], &row, sizeof(Row))) {
                broken = true;
                break;
            }
        } else {
            playRow(args, texts[i / args.modes.size()], row);
        }
        if (!args.quiet) {
            const double n = row.runs;
            const int shownLimit = row.mode == kPuzzle ? row.movesLimit : row.mode == kTimeless ? 2000 : 0;
            std::printf("%-5d %-9s %3d/%-2d %7.1f %7d %8.1f %8.1f %9.0f %8.2f\n", row.level, modeName(row.mode),
                        row.wins, row.runs, row.moves / n, shownLimit, row.timeS / n,
                        row.mode == kAdventure ? row.timeLimitS : 0.0f, row.score / n, row.simMs / n);
            std::fflush(stdout);
        }
    }
    for (int k = 0; k < jobs && jobs > 1; ++k) {
        close(pipes[k]);
        int status = 0;
        if (waitpid(workers[k], &status, 0) < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) broken = true;
    }
    if (broken) {
        std::fprintf(stderr, "sandmere-bot: a worker process failed\n");
        return 2;
    }
    const double totalS = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    std::printf("\nsummary\n");
    int failing = 0;
    for (GameMode mode : args.modes) {
        int wins = 0, runs = 0, passed = 0, levels = 0;
        for (const Row& r : rows)
            if (r.mode == mode) {
                wins += r.wins;
                runs += r.runs;
                levels += 1;
                passed += r.wins >= std::min(args.minWins, r.runs) ? 1 : 0;
            }
        std::printf("  %-9s won %d of %d runs (%.1f%%); %d of %d levels won in at least %d of %d seeds\n",
                    modeName(mode), wins, runs, runs ? 100.0 * wins / runs : 0.0, passed, levels,
                    std::min(args.minWins, args.seeds), args.seeds);
    }
    for (const Row& r : rows)
        if (r.wins < std::min(args.minWins, r.runs)) {
            if (!failing) std::printf("  below the mark:\n");
            ++failing;
            std::printf("    level %d %s: %d/%d won, %.1f moves (limit %d), %.1f s (limit %.1f s)\n", r.level,
                        modeName(r.mode), r.wins, r.runs, r.moves / r.runs, r.movesLimit, r.timeS / r.runs,
                        r.timeLimitS);
        }
    std::vector<Row> byHardness = rows;
    std::sort(byHardness.begin(), byHardness.end(), [](const Row& a, const Row& b) {
        if (a.wins * b.runs != b.wins * a.runs) return a.wins * b.runs < b.wins * a.runs;
        return a.moves / a.runs > b.moves / b.runs;
    });
    std::printf("  hardest:");
    for (size_t i = 0; i < byHardness.size() && i < 5; ++i)
        std::printf(" %d/%s (%d/%d, %.0f moves)", byHardness[i].level, modeName(byHardness[i].mode),
                    byHardness[i].wins, byHardness[i].runs, byHardness[i].moves / byHardness[i].runs);
    std::printf("\n");
    std::vector<Row> bySlowness = rows;
    std::sort(bySlowness.begin(), bySlowness.end(),
              [](const Row& a, const Row& b) { return a.simMs / a.runs > b.simMs / b.runs; });
    std::printf("  slowest:");
    for (size_t i = 0; i < bySlowness.size() && i < 5; ++i)
        std::printf(" %d/%s (%.2f ms a run)", bySlowness[i].level, modeName(bySlowness[i].mode),
                    bySlowness[i].simMs / bySlowness[i].runs);
    std::printf("\n  total run time %.1f s for %zu level runs\n", totalS, rows.size() * static_cast<size_t>(args.seeds));
    return failing ? 1 : 0;
}
