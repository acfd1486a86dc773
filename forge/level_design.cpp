// Cuts a board shape, lays squares, dual squares and chains with preset figures and bonuses,
// and writes the level file with limits tuned to the game's time and moves formulas.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "level_design.h"

namespace forge {

namespace {

// The designer's own generator, so a level never changes when another one is retuned.
struct Random {
    uint32_t state;
    explicit Random(uint32_t seed) : state(seed ? seed : 0x9E3779B9u) {}
    uint32_t next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    int below(int n) { return n > 0 ? static_cast<int>(next() % static_cast<uint32_t>(n)) : 0; }
    float unit() { return static_cast<float>(next() >> 8) / 16777216.0f; }
};

constexpr const char* kArtefactNames[8] = {"coins", "nugget", "perl", "perls", "rings2", "rings3", "sack", "scepter"};

using Grid = LevelGrid;

bool inside(int r, int c) { return r >= 0 && r < kRows && c >= 0 && c < kColumns; }

int neighbours(const Grid& g, int r, int c) {
    static const int dr[4] = {-1, 1, 0, 0}, dc[4] = {0, 0, -1, 1};
    int n = 0;
    for (int i = 0; i < 4; ++i)
        if (inside(r + dr[i], c + dc[i]) && g.exists[r + dr[i]][c + dc[i]]) ++n;
    return n;
}

// The column that mirrors c about the middle one (which mirrors itself).
int mirrored(int c) { return kPlayColumns - 1 - c; }

// Whether the shape family keeps cell (r, c); every family is mirror-symmetric.
bool shapeKeeps(Shape shape, int r, int c) {
    if (c >= kPlayColumns) return false;
    const float x = std::fabs(static_cast<float>(c - kMiddleColumn)) + 0.5f;  // 0.5 in the middle .. 5.5
    const float y = std::fabs(r - 5.0f);  // 0 .. 5
    const int m = std::min(c, mirrored(c));  // 0 at the edges, 5 in the middle
    switch (shape) {
    case Shape::Full: return true;
    case Shape::CutCorners: return x + y < 9.6f;
    case Shape::Donut: return !(y <= 1.0f && x <= 1.5f);
    case Shape::Pillars: return !(m == 2 && r >= 3 && r <= 7);
    case Shape::Diamond: return x / 6.5f + y / 6.0f <= 1.2f;
    case Shape::Hourglass: return x <= 2.5f + y * 0.75f;
    case Shape::Plus: return x <= 2.5f || y <= 2.0f;
    case Shape::Arch: return !(r >= 7 && x <= 1.5f);
    case Shape::Twins: return !(x <= 0.5f && r >= 2);
    case Shape::Windows: return !((r == 2 || r == 3 || r == 7 || r == 8) && (m == 2 || m == 3));
    case Shape::Ring: return !(y <= 2.0f && x <= 2.5f) || (y <= 0.0f && x <= 0.5f);
    case Shape::Castle: return !(r == 0 && m % 2 == 1) && !(r >= 9 && x <= 1.5f);
    case Shape::Heart: return !(r == 0 && (m == 0 || x <= 0.5f)) && !(r >= 8 && x > 11.5f - r);
    case Shape::Steps: return !((r <= 1 && m <= 1) || (r >= 9 && m == 0)) && !(r == 5 && m == 3);
    case Shape::Scattered:
    case Shape::Count: return true;
    }
    return true;
}

float patternPriority(SquarePattern pattern, const Grid& g, int r, int c) {
    const int m = std::min(c, mirrored(c));
    switch (pattern) {
    case SquarePattern::BottomRows: return static_cast<float>(r) * 2.0f;
    case SquarePattern::Centre: return -(std::fabs(r - 5.5f) + std::fabs(static_cast<float>(c - kMiddleColumn)));
    case SquarePattern::Border: return -static_cast<float>(neighbours(g, r, c)) * 3.0f - std::min({r, 10 - r, m});
    case SquarePattern::Checker: return ((r + c) % 2 == 0 ? 10.0f : 0.0f) + r * 0.3f;
    case SquarePattern::Stripes: return (r % 3 == 1 ? 10.0f : 0.0f) + r * 0.3f;
    case SquarePattern::Columns: return (m % 3 == 1 ? 10.0f : 0.0f) + r * 0.3f;
    case SquarePattern::Diagonals: {
        float d = std::min(std::fabs(r - m * 2.0f), std::fabs(r - 10.0f + m * 2.0f));
        return -d;
    }
    case SquarePattern::Scatter:
    case SquarePattern::Count: return 0.0f;
    }
    return 0.0f;
}

// Takes away cells that touch no other cell: they could never be part of a group.
void dropLoneCells(Grid& g) {
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c)
            if (g.exists[r][c] && neighbours(g, r, c) == 0) g.exists[r][c] = false;
}

int countCells(const Grid& g) {
    int n = 0;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) n += g.exists[r][c];
    return n;
}

struct Spot {
    int r, c;
    float priority;
};

// Existing cells of the left half and the middle column with their mirror (a middle cell is
// its own), best first by priority (ties at random).
std::vector<Spot> rankPairs(const Grid& g, SquarePattern pattern, Random& rnd) {
    std::vector<Spot> spots;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c <= kMiddleColumn; ++c)
            if (g.exists[r][c]) spots.push_back({r, c, patternPriority(pattern, g, r, c) + rnd.unit() * 1.5f});
    std::stable_sort(spots.begin(), spots.end(), [](const Spot& a, const Spot& b) { return a.priority > b.priority; });
    return spots;
}

// The figure pictures kinds 0..figures-1 show: written as "figure%i=" swaps that the game
// applies one after another; kept only when every kind ends with its own picture.
std::vector<int> choosePictures(int figures, Random& rnd, std::vector<int>& table) {
    for (int attempt = 0; attempt < 64; ++attempt) {
        std::vector<int> pool = {0, 1, 2, 3, 4, 5, 6, 7};
        for (int i = 7; i > 0; --i) std::swap(pool[i], pool[rnd.below(i + 1)]);
        std::vector<int> wanted(pool.begin(), pool.begin() + figures);
        std::vector<int> t(17);
        for (int k = 0; k < 17; ++k) t[k] = k;
        for (int i = 0; i < figures; ++i) {
            t[i] = wanted[i];
            t[wanted[i]] = i;
        }
        bool distinct = true;
        for (int i = 0; i < figures && distinct; ++i)
            for (int j = 0; j < i; ++j)
                if (t[i] % 8 == t[j] % 8) distinct = false;
        if (distinct) {
            table = t;
            return wanted;
        }
    }
    table.clear();
    return {};
}

unsigned char cellCode(const Grid& g, int r, int c) {
    if (!g.exists[r][c]) return '.';
    int kind = g.chainKind[r][c];
    if (kind < 0) return static_cast<unsigned char>('0' + g.squares[r][c]);
    switch (g.bonus[r][c]) {
    case 1: return static_cast<unsigned char>('Q' + kind);
    case 2: return static_cast<unsigned char>('a' + kind);
    case 3: return static_cast<unsigned char>('q' + kind);
    case 4: return static_cast<unsigned char>(0xC0 + kind);
    case 5: return static_cast<unsigned char>(0xD0 + kind);
    default: return static_cast<unsigned char>('A' + kind);
    }
}

std::string formatTime(double value) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", value);
    return buf;
}

}  // namespace

std::string designLevel(const LevelPlan& plan, LevelSummary* summary) {
    Random rnd(plan.seed);
    Grid g{};
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            g.exists[r][c] = shapeKeeps(plan.shape, r, c);
            g.chainKind[r][c] = -1;
        }
    int holes = plan.extraHoles + (plan.shape == Shape::Scattered ? 6 : 0);
    for (int tries = 0; holes > 0 && tries < 200; ++tries) {
        int r = rnd.below(kRows), c = rnd.below(kMiddleColumn + 1);
        if (!g.exists[r][c] || countCells(g) < 73) continue;  // cut only while 73 of the 121 cells are left
        g.exists[r][c] = g.exists[r][mirrored(c)] = false;
        --holes;
    }
    dropLoneCells(g);

    // Squares in mirrored pairs, the best ranked cells of the pattern first.
    std::vector<Spot> ranked = rankPairs(g, plan.pattern, rnd);
    int pairs = std::min(static_cast<int>(ranked.size()), std::max(1, (plan.squareCells + 1) / 2));
    int dualPairs = static_cast<int>(std::lround(pairs * plan.dualShare));
    int chainPairs = std::min(dualPairs, (plan.chains + 1) / 2);
    if (chainPairs * 2 < plan.chains) dualPairs = std::min(pairs, std::max(dualPairs, (plan.chains + 1) / 2));
    chainPairs = std::min(dualPairs, (plan.chains + 1) / 2);
    // Duals take a random share of the chosen pairs.
    std::vector<int> order(pairs);
    for (int i = 0; i < pairs; ++i) order[i] = i;
    for (int i = pairs - 1; i > 0; --i) std::swap(order[i], order[rnd.below(i + 1)]);
    for (int i = 0; i < pairs; ++i) {
        const Spot& s = ranked[order[i]];
        int layers = i < dualPairs ? 2 : 1;
        g.squares[s.r][s.c] = g.squares[s.r][mirrored(s.c)] = layers;
    }

    // Chains on dual squares, never side by side, each with free cells around it.
    std::vector<int> bonusQueue;
    for (int i = 0; i < plan.megaBombs; ++i) bonusQueue.push_back(5);
    for (int i = 0; i < plan.crossBombs; ++i) bonusQueue.push_back(3);
    for (int i = 0; i < plan.diagonalBombs; ++i) bonusQueue.push_back(4);
    for (int i = 0; i < plan.lightnings; ++i) bonusQueue.push_back(2);
    for (int i = 0; i < plan.bombs; ++i) bonusQueue.push_back(1);
    int chainsLeft = plan.chains;
    for (int i = 0; i < pairs && chainsLeft > 0; ++i) {
        const Spot& s = ranked[order[i]];
        if (g.squares[s.r][s.c] != 2) continue;
        auto freeAround = [&](int r, int c) {
            int n = 0;
            for (int dr = -1; dr <= 1; ++dr)
                for (int dc = -1; dc <= 1; ++dc) {
                    if (!dr && !dc) continue;
                    if (!inside(r + dr, c + dc)) continue;
                    if (g.chainKind[r + dr][c + dc] >= 0) return -1;  // keep chains apart
                    if (!dr || !dc) n += g.exists[r + dr][c + dc];
                }
            return n;
        };
        int mirror = mirrored(s.c);
        bool both = chainsLeft >= 2 && mirror - s.c > 1;
        if (freeAround(s.r, s.c) < 2) continue;
        if (both && freeAround(s.r, mirror) < 2) both = false;
        int kind = rnd.below(plan.figures);
        for (int side = 0; side < (both ? 2 : 1); ++side) {
            int c = side == 0 ? s.c : mirror;
            g.chainKind[s.r][c] = kind;
            if (!bonusQueue.empty()) {
                g.bonus[s.r][c] = bonusQueue.back();
                bonusQueue.pop_back();
            }
            --chainsLeft;
        }
    }

    LevelSummary sum;
    sum.cells = countCells(g);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            if (!g.exists[r][c]) continue;
            sum.targets += g.squares[r][c] + (g.chainKind[r][c] >= 0);
            sum.chained += g.chainKind[r][c] >= 0;
            sum.presetBonuses += g.bonus[r][c] != 0;
        }

    // Limits: the moves the plain player needed (the estimate from the target count if it
    // ever fails), with slack; the time from the same count of moves.
    sum.bot = playWithBot(g, plan.figures, plan.botRuns, plan.seed ^ 0xB07B07u, 400);
    float estimatedMoves = plan.movesBase + sum.targets * plan.movesPerHit;
    if (sum.bot.cleared == sum.bot.runs && sum.bot.runs > 0)
        estimatedMoves = std::max(static_cast<float>(sum.bot.meanMoves), sum.bot.worstMoves / plan.movesSlack);
    const int wantedMoves = std::min(
        290, static_cast<int>(std::ceil(estimatedMoves * plan.movesSlack * plan.movesMargin)));
    const float wantedSeconds = std::min(590.0f, estimatedMoves * plan.secondsPerMove * plan.timeSlack);
    if (plan.index < 2) {
        sum.movesValue = (wantedMoves + 1) / 2;
        sum.timeValue = std::round(estimatedMoves * plan.secondsPerMove);
    } else {
        sum.movesValue = std::max(1, static_cast<int>(std::ceil(wantedMoves / (static_cast<float>(
                                         puzzleMovesLimit(plan.index, 1000)) / 1000.0f))));
        while (sum.movesValue > 1 && puzzleMovesLimit(plan.index, sum.movesValue) > 300) --sum.movesValue;
        float perUnit = adventureTimeLimitMs(plan.index, 1.0) / 1000.0f;
        sum.timeValue = std::round(wantedSeconds / perUnit * 10.0) / 10.0;
        while (adventureTimeLimitMs(plan.index, sum.timeValue) > 600000.0f) sum.timeValue -= 0.1;
    }
    if (summary) *summary = sum;

    std::string text;
    text += "figures=" + std::to_string(plan.figures) + "\r\n";
    if (plan.recolour) {
        std::vector<int> table;
        std::vector<int> wanted = choosePictures(plan.figures, rnd, table);
        for (size_t i = 0; i < wanted.size(); ++i)
            text += "figure" + std::to_string(i) + "=" + kArtefactNames[wanted[i]] + "\r\n";
    }
    text += "time=" + formatTime(sum.timeValue) + "\r\n";
    text += "moves=" + std::to_string(sum.movesValue) + "\r\n";
    text += "back=" + std::to_string(plan.backdrop) + "\r\n";
    text += "level=\r\n";
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) text += static_cast<char>(cellCode(g, r, c));
        text += "\r\n";
    }
    text += "\r\n";
    return text;
}

std::string designTunedLevel(LevelPlan plan, LevelSummary* summary) {
    LevelSummary sum;
    std::string text = designLevel(plan, &sum);
    for (int attempt = 0; attempt < 4 && sum.bot.meanMoves > plan.maxBotMoves; ++attempt) {
        plan.squareCells = std::max(6, static_cast<int>(plan.squareCells * 0.85f));
        plan.chains = std::max(plan.bombs + plan.lightnings + plan.crossBombs + plan.diagonalBombs + plan.megaBombs,
                               plan.chains - 1);
        text = designLevel(plan, &sum);
    }
    if (summary) *summary = sum;
    return text;
}

}  // namespace forge
