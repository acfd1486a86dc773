// sandmere-bot: plays levels headless with the autoplay bot and reports, per level and mode,
// how often it won, in how many moves, in how much time and with what score.
//
//   sandmere-bot --levels 1-129 --modes all --seeds 10 [--data DIR] [--min-wins 8] [--quiet]
//   sandmere-bot --file some.lvl --levels 7 --modes puzzle --seeds 3
//
// Levels are numbered as their files are (1..129). The exit code is 1 when some level and mode
// was won in fewer than --min-wins of its seeds, 2 on bad arguments or a missing level file.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "board/bot.h"
#include "board/level.h"

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
                 "                    [--data DIR] [--file LEVEL.lvl] [--min-wins N] [--quiet] [--show]\n");
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
    if (args.levels.empty()) args.levels = {1};
    if (args.modes.empty()) args.modes = {kAdventure, kPuzzle, kTimeless};
    if (args.seeds < 1) return usage();

    const auto start = std::chrono::steady_clock::now();
    std::vector<Row> rows;
    if (!args.quiet)
        std::printf("%-5s %-9s %6s %7s %7s %8s %8s %9s %8s\n", "level", "mode", "wins", "moves", "limit", "time_s",
                    "limit_s", "score", "sim_ms");
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
        for (GameMode mode : args.modes) {
            Row row{level, mode};
            for (int s = 0; s < args.seeds; ++s) {
                BotOptions o;
                o.levelIndex = level - 1;
                o.mode = mode;
                o.seed = static_cast<uint32_t>(level * 1000 + s * 7 + 1);
                o.levelText = text.c_str();
                o.maxMoves = 2000;
                const auto t0 = std::chrono::steady_clock::now();
                const BotResult r = playLevelWithBot(o);
                if (args.show) {
                    std::printf("  seed %u: %s in %d moves, %d hammer strokes, %d targets left, %d frames\n", o.seed,
                                r.won ? "won" : r.lost ? "lost" : "unfinished", r.moves, r.hammerStrokes,
                                r.targetsLeft, r.frames);
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
                const auto t1 = std::chrono::steady_clock::now();
                row.runs += 1;
                row.wins += r.won ? 1 : 0;
                row.moves += r.moves;
                row.timeS += r.timeMs / 1000.0;
                row.score += r.score;
                row.simMs += std::chrono::duration<double, std::milli>(t1 - t0).count();
                row.movesLimit = r.movesLimit;
                row.timeLimitS = r.timeLimitMs / 1000.0f;
            }
            if (!args.quiet) {
                const double n = row.runs;
                const int shownLimit = mode == kPuzzle ? row.movesLimit : mode == kTimeless ? 2000 : 0;
                std::printf("%-5d %-9s %3d/%-2d %7.1f %7d %8.1f %8.1f %9.0f %8.2f\n", level, modeName(mode), row.wins,
                            row.runs, row.moves / n, shownLimit, row.timeS / n,
                            mode == kAdventure ? row.timeLimitS : 0.0f, row.score / n, row.simMs / n);
                std::fflush(stdout);
            }
            rows.push_back(row);
        }
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
