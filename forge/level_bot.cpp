// A plain player for the level designer: it plays a board by the rules of groups, bonuses,
// falling, new figures, dealing anew and the hammer, and counts the moves it needs to break
// every target. It looks one move ahead and never plans runs of one kind (no Lightnings of
// its own), so a thoughtful player needs fewer moves.
#include <algorithm>
#include <vector>

#include "level_design.h"

namespace forge {

namespace {

struct BotRandom {
    uint32_t state;
    explicit BotRandom(uint32_t seed) : state(seed ? seed : 0x2545F491u) {}
    uint32_t next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    int below(int n) { return static_cast<int>(next() % static_cast<uint32_t>(n)); }
};

enum Bonus { None = 0, Bomb = 1, Lightning = 2, CrossBomb = 3, DiagonalBomb = 4, MegaBomb = 5 };

// Figures broken per hammer charge (0.015 of the meter per figure over 0.18 .. 0.88).
constexpr int kHammerFigures = 47;

struct BotBoard {
    const LevelGrid* grid;
    int figures;
    int figure[kRows][kColumns];
    int bonus[kRows][kColumns];
    bool chained[kRows][kColumns];
    int squares[kRows][kColumns];
    BotRandom rnd;

    BotBoard(const LevelGrid& g, int kinds, uint32_t seed) : grid(&g), figures(kinds), rnd(seed) {
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kColumns; ++c) {
                chained[r][c] = g.exists[r][c] && g.chainKind[r][c] >= 0;
                figure[r][c] = chained[r][c] ? g.chainKind[r][c] : -1;
                bonus[r][c] = chained[r][c] ? g.bonus[r][c] : None;
                squares[r][c] = g.exists[r][c] ? g.squares[r][c] : 0;
            }
    }
    bool cell(int r, int c) const { return r >= 0 && r < kRows && c >= 0 && c < kColumns && grid->exists[r][c]; }
    bool freeFigure(int r, int c) const { return cell(r, c) && figure[r][c] >= 0 && !chained[r][c]; }
    bool target(int r, int c) const { return cell(r, c) && (squares[r][c] > 0 || chained[r][c]); }

    int targets() const {
        int n = 0;
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kColumns; ++c) n += squares[r][c] + chained[r][c];
        return n;
    }

    void move(int fr, int fc, int tr, int tc) {
        figure[tr][tc] = figure[fr][fc];
        bonus[tr][tc] = bonus[fr][fc];
        figure[fr][fc] = -1;
        bonus[fr][fc] = None;
    }

    // Falls, new figures and diagonal slides until nothing moves.
    void settle() {
        for (int guard = 0; guard < 2000; ++guard) {
            bool moved = false;
            for (int r = kRows - 2; r >= 0; --r)
                for (int c = 0; c < kColumns; ++c)
                    if (freeFigure(r, c) && cell(r + 1, c) && figure[r + 1][c] < 0) {
                        move(r, c, r + 1, c);
                        moved = true;
                    }
            for (int r = 0; r < kRows; ++r)
                for (int c = 0; c < kColumns; ++c)
                    if (cell(r, c) && figure[r][c] < 0 && (r == 0 || !cell(r - 1, c))) {
                        figure[r][c] = rnd.below(figures);
                        bonus[r][c] = None;
                        moved = true;
                    }
            if (moved) continue;
            for (int r = kRows - 1; r >= 1 && !moved; --r)
                for (int c = 0; c < kColumns && !moved; ++c) {
                    if (!cell(r, c) || figure[r][c] >= 0) continue;
                    int from = freeFigure(r - 1, c + 1) ? c + 1 : freeFigure(r - 1, c - 1) ? c - 1 : -1;
                    if (from < 0) continue;
                    move(r - 1, from, r, c);
                    moved = true;
                }
            if (!moved) return;
        }
    }

    // The groups of two or more (chained figures take part), each as its list of cells.
    std::vector<std::vector<int>> groups() const {
        std::vector<std::vector<int>> out;
        bool seen[kRows][kColumns] = {};
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kColumns; ++c) {
                if (seen[r][c] || !cell(r, c) || figure[r][c] < 0) continue;
                std::vector<int> group = {r * kColumns + c};
                seen[r][c] = true;
                for (size_t i = 0; i < group.size(); ++i) {
                    int gr = group[i] / kColumns, gc = group[i] % kColumns;
                    const int dr[4] = {0, 0, 1, -1}, dc[4] = {1, -1, 0, 0};
                    for (int d = 0; d < 4; ++d) {
                        int nr = gr + dr[d], nc = gc + dc[d];
                        if (!cell(nr, nc) || seen[nr][nc] || figure[nr][nc] != figure[r][c]) continue;
                        seen[nr][nc] = true;
                        group.push_back(nr * kColumns + nc);
                    }
                }
                if (group.size() >= 2) out.push_back(std::move(group));
            }
        return out;
    }

    void dealAnew() {
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kColumns; ++c)
                if (freeFigure(r, c)) figure[r][c] = rnd.below(figures);
    }

    // Steps from each cell to the nearest target (0 on a target), through existing cells.
    void distanceToTargets(int (&distance)[kRows][kColumns]) const {
        std::vector<int> queue;
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kColumns; ++c) {
                distance[r][c] = target(r, c) ? 0 : 99;
                if (distance[r][c] == 0) queue.push_back(r * kColumns + c);
            }
        for (size_t i = 0; i < queue.size(); ++i) {
            int r = queue[i] / kColumns, c = queue[i] % kColumns;
            const int dr[4] = {0, 0, 1, -1}, dc[4] = {1, -1, 0, 0};
            for (int d = 0; d < 4; ++d) {
                int nr = r + dr[d], nc = c + dc[d];
                if (!cell(nr, nc) || distance[nr][nc] <= distance[r][c] + 1) continue;
                distance[nr][nc] = distance[r][c] + 1;
                queue.push_back(nr * kColumns + nc);
            }
        }
    }

    // One break step: the marked figures break, their bonuses fire (and the figures those
    // hit fire theirs), then every hit cell loses its chain or a square layer.
    struct Marks {
        bool breaks[kRows][kColumns] = {};
        bool hits[kRows][kColumns] = {};
    };

    void explode(int kind, int r, int c, int lightningKind, Marks& m, std::vector<int>& fired) {
        auto hit = [&](int hr, int hc, bool breaksPlain) {
            if (!cell(hr, hc)) return;
            m.hits[hr][hc] = true;
            if (figure[hr][hc] < 0 || chained[hr][hc]) return;
            if (bonus[hr][hc] != None) {
                if (!m.breaks[hr][hc]) {
                    m.breaks[hr][hc] = true;
                    fired.push_back(hr * kColumns + hc);
                }
            } else if (breaksPlain) {
                m.breaks[hr][hc] = true;
            }
        };
        if (kind == Bomb) {
            static const int off[12][2] = {{0, 1}, {0, 2}, {0, -1}, {0, -2}, {-1, -1}, {-1, 0},
                                           {-1, 1}, {1, -1}, {1, 0},  {1, 1},  {-2, 0},  {2, 0}};
            for (const auto& o : off) hit(r + o[0], c + o[1], true);
        }
        if (kind == CrossBomb || kind == MegaBomb)
            for (int i = 0; i < kRows + kColumns; ++i) {
                if (i < kColumns && i != c) hit(r, i, false);
                if (i < kRows && i != r) hit(i, c, false);
            }
        if (kind == DiagonalBomb || kind == MegaBomb)
            for (int d = 1; d < kColumns; ++d) {
                hit(r - d, c - d, false);
                hit(r - d, c + d, false);
                hit(r + d, c - d, false);
                hit(r + d, c + d, false);
            }
        if (kind == Lightning)
            for (int lr = 0; lr < kRows; ++lr)
                for (int lc = 0; lc < kColumns; ++lc)
                    if (cell(lr, lc) && figure[lr][lc] == lightningKind) hit(lr, lc, true);
    }

    void breakGroup(const std::vector<int>& group, int clicked) {
        Marks m;
        std::vector<int> fired;
        for (int at : group) {
            int r = at / kColumns, c = at % kColumns;
            m.hits[r][c] = true;
            if (chained[r][c]) continue;
            m.breaks[r][c] = true;
            if (bonus[r][c] != None) fired.push_back(at);
        }
        // A group of five or more leaves a bonus on the clicked figure, which stays.
        int made = group.size() >= 8 ? MegaBomb : group.size() >= 5 ? Bomb : None;
        int cr = clicked / kColumns, cc = clicked % kColumns;
        if (made != None && !chained[cr][cc] && bonus[cr][cc] == None) m.breaks[cr][cc] = false;
        else made = None;
        for (size_t i = 0; i < fired.size(); ++i) {
            int r = fired[i] / kColumns, c = fired[i] % kColumns;
            explode(bonus[r][c], r, c, figure[r][c], m, fired);
        }
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kColumns; ++c) {
                if (m.breaks[r][c]) {
                    figure[r][c] = -1;
                    bonus[r][c] = None;
                }
                if (m.hits[r][c]) {
                    if (chained[r][c]) chained[r][c] = false;
                    else if (squares[r][c] > 0) --squares[r][c];
                }
            }
        if (made != None) bonus[cr][cc] = made;
    }

    // The hammer on the lowest target that holds a figure.
    bool hammerTarget() {
        for (int r = kRows - 1; r >= 0; --r)
            for (int c = 0; c < kColumns; ++c) {
                if (!target(r, c) || figure[r][c] < 0) continue;
                breakGroup({r * kColumns + c}, r * kColumns + c);
                return true;
            }
        return false;
    }
};

// Where to click a group: the cell with the most targets within a bomb's reach.
int clickedCell(const BotBoard& board, const std::vector<int>& group) {
    int best = group[0], bestCount = -1;
    for (int at : group) {
        int r = at / kColumns, c = at % kColumns, count = 0;
        for (int dr = -2; dr <= 2; ++dr)
            for (int dc = -2; dc <= 2; ++dc)
                if (std::abs(dr) + std::abs(dc) <= 2 && board.target(r + dr, c + dc)) ++count;
        if (count > bestCount) {
            bestCount = count;
            best = at;
        }
    }
    return best;
}

// Moves one run needs, or -1 when it gives up.
int playOnce(const LevelGrid& grid, int figures, uint32_t seed, int moveCap) {
    BotBoard board(grid, figures, seed);
    board.settle();
    int moves = 0, deals = 0, hammer = 0;
    while (board.targets() > 0) {
        if (moves >= moveCap || deals > 200) return -1;
        std::vector<std::vector<int>> groups = board.groups();
        if (groups.empty()) {
            board.dealAnew();
            ++deals;
            continue;
        }
        // Each group is tried on a copy: targets broken first; without any, figures near the
        // targets (so new ones arrive there), low rather than high (so more of the board moves).
        int distance[kRows][kColumns];
        board.distanceToTargets(distance);
        static const int kNear[4] = {0, 100, 30, 10};
        const int before = board.targets();
        size_t best = 0;
        int bestScore = -1, bestGain = 0, bestClick = 0;
        for (size_t i = 0; i < groups.size(); ++i) {
            int click = clickedCell(board, groups[i]);
            BotBoard trial = board;
            trial.breakGroup(groups[i], click);
            int gain = before - trial.targets();
            int near = 0, low = 0;
            for (int at : groups[i]) {
                int d = distance[at / kColumns][at % kColumns];
                if (d >= 1 && d <= 3) near += kNear[d];
                low += at / kColumns;
            }
            int score = gain * 10000 + near + low;
            if (score > bestScore) {
                bestScore = score;
                bestGain = gain;
                best = i;
                bestClick = click;
            }
        }
        // The hammer fills as figures break; a full one breaks any single figure.
        if (bestGain == 0 && hammer >= kHammerFigures && board.hammerTarget()) {
            hammer = 0;
            ++moves;
            board.settle();
            continue;
        }
        hammer += static_cast<int>(groups[best].size());
        board.breakGroup(groups[best], bestClick);
        board.settle();
        ++moves;
    }
    return moves;
}

}  // namespace

BotResult playWithBot(const LevelGrid& grid, int figures, int runs, uint32_t seed, int moveCap) {
    BotResult result;
    result.runs = runs;
    double total = 0;
    for (int i = 0; i < runs; ++i) {
        int moves = playOnce(grid, std::max(1, figures), seed + 0x9E3779B9u * static_cast<uint32_t>(i + 1), moveCap);
        if (moves < 0) continue;
        ++result.cleared;
        total += moves;
        result.worstMoves = std::max(result.worstMoves, moves);
    }
    if (result.cleared) result.meanMoves = total / result.cleared;
    return result;
}

}  // namespace forge
