// The journey's difficulty curve: which shape, how many squares, chains and preset bonuses,
// how many kinds and how much time or how many moves each of the 129 levels gets.
#include <algorithm>
#include <cmath>

#include "level_design.h"

namespace forge {

namespace {

// Kinds dealt per stage: 4 on the first shore, 8 in the last lands.
constexpr int kFiguresOfStage[kStages] = {4, 4, 5, 5, 5, 6, 6, 6, 7, 7, 7, 7, 8, 8, 8};

// Shapes in the order the journey introduces them; stage s draws from the first 3 + s.
constexpr Shape kShapeOrder[] = {Shape::Full,    Shape::CutCorners, Shape::Arch,   Shape::Donut,
                                 Shape::Pillars, Shape::Diamond,    Shape::Plus,   Shape::Twins,
                                 Shape::Windows, Shape::Hourglass,  Shape::Ring,   Shape::Castle,
                                 Shape::Heart,   Shape::Steps,      Shape::Scattered};
constexpr SquarePattern kPatternOrder[] = {SquarePattern::BottomRows, SquarePattern::Centre,
                                           SquarePattern::Stripes,    SquarePattern::Border,
                                           SquarePattern::Columns,    SquarePattern::Checker,
                                           SquarePattern::Diagonals,  SquarePattern::Scatter};

}  // namespace

LevelPlan planLevel(int index) {
    LevelPlan plan;
    plan.index = index;
    int first = 0;
    for (int s = 0; s < kStages; ++s) {
        if (index < first + kStageSizes[s]) {
            plan.stage = s;
            plan.inStage = index - first;
            break;
        }
        first += kStageSizes[s];
    }
    const int s = plan.stage;
    const int k = plan.inStage;
    const int size = kStageSizes[s];
    const float progress = static_cast<float>(index) / (kLevels - 1);  // 0 .. 1 over the journey
    const float inStage = size > 1 ? static_cast<float>(k) / (size - 1) : 0.0f;

    plan.seed = 0x5A4D3E00u + static_cast<uint32_t>(index) * 7919u;
    plan.figures = kFiguresOfStage[s];
    if (s >= 2 && k == size - 1) plan.figures = std::min(8, plan.figures + 1);  // each land ends harder

    const int shapeChoices = std::min(static_cast<int>(std::size(kShapeOrder)), 3 + s);
    plan.shape = kShapeOrder[(k * 5 + s * 3) % shapeChoices];
    if (index < 2) plan.shape = Shape::Full;
    const int patternChoices = std::min(static_cast<int>(std::size(kPatternOrder)), 2 + s / 2);
    plan.pattern = kPatternOrder[(k * 3 + s) % patternChoices];
    plan.extraHoles = s >= 4 ? (s - 2) / 2 + k % 2 : 0;

    // Squares: a dozen at first, about forty at the end; a land's last level has a few more.
    plan.squareCells = static_cast<int>(std::lround(12 + progress * 24 + inStage * 5));
    if (index == 0) plan.squareCells = 10;
    plan.dualShare = index < 2 ? 0.0f : std::min(0.4f, 0.08f + s * 0.02f + inStage * 0.05f);
    plan.chains = s < 1 ? 0 : std::min(10, s - 1 + k / 3 + (s == 1 && k == size - 1 ? 2 : 0));
    if (s >= 5) plan.bombs = 1 + (k % 3 == 0);
    if (s >= 7) plan.lightnings = 1;
    if (s >= 9) plan.crossBombs = k % 2 == 0;
    if (s >= 10) plan.diagonalBombs = k % 2 == 1;
    if (s >= 12) plan.megaBombs = k % 4 == 3;
    int bonuses = plan.bombs + plan.lightnings + plan.crossBombs + plan.diagonalBombs + plan.megaBombs;
    plan.chains = std::max(plan.chains, bonuses);

    plan.backdrop = 1 + s;  // backdrop n shows the land of stage n - 1
    plan.recolour = s % 2 == 1;

    plan.movesPerHit = 0.45f + 0.1f * static_cast<float>(plan.figures - 4);
    plan.movesBase = 8;
    plan.movesSlack = (s == 0 ? 1.8f : 1.5f) - 0.25f * progress;  // the first shore is forgiving
    plan.secondsPerMove = 3.0f - 0.6f * progress;                  // players grow quicker
    plan.timeSlack = 1.5f - 0.2f * progress;
    plan.maxBotMoves = 60.0f + 100.0f * progress;
    // Per-level corrections from the game's bot: boards whose last few squares sit where groups
    // rarely reach need a longer puzzle budget than the plain player's count suggests.
    if (index == 39) plan.movesMargin *= 2.0f;
    if (index == 67 || index == 90) plan.movesMargin *= 1.25f;
    // The first two stages were already won with the plain player's count; they keep it.
    if (s < 2) plan.movesMargin = 1.0f;
    return plan;
}

float adventureTimeLimitMs(int index, double timeValue) {
    if (index == 0) return 300000.0f;
    if (index == 1) return 150000.0f;
    const float n = static_cast<float>(index + 1);
    return (110.0f / (32.0f * std::sqrt(n) - 5.5f * n + 0.08f * n * n) + 0.9f) * 1000.0f *
           static_cast<float>(timeValue);
}

int puzzleMovesLimit(int index, int movesValue) {
    if (index < 2) return movesValue * 2;
    const float n = static_cast<float>(index + 1);
    return static_cast<int>(static_cast<float>(movesValue) *
                            (29.0f / (20.0f * std::sqrt(n) - 5.5f * n + 0.3f * n * n) + 1.0f));
}

}  // namespace forge
