// The 129 level files, one per entry of the journey's plan.
#include <cstdio>

#include "forge.h"
#include "level_design.h"

namespace forge {

void forgeLevels(Context& ctx) {
    if (ctx.levelReport)
        std::printf("level stage figures cells targets chains bonuses time moves limit-s limit-moves\n");
    for (int index = 0; index < kLevels; ++index) {
        char name[64];
        std::snprintf(name, sizeof name, "levels/pack1_%.2i.lvl", index + 1);
        LevelPlan plan = planLevel(index);
        LevelSummary sum;
        writeOutput(ctx, name, designLevel(plan, &sum));
        if (ctx.levelReport)
            std::printf("%5d %5d %7d %5d %7d %6d %7d %5.1f %5d %7.0f %11d\n", index + 1, plan.stage, plan.figures,
                        sum.cells, sum.targets, sum.chained, sum.presetBonuses, sum.timeValue, sum.movesValue,
                        adventureTimeLimitMs(index, sum.timeValue) / 1000.0f,
                        puzzleMovesLimit(index, sum.movesValue));
    }
}

}  // namespace forge
