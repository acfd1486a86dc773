// The 129 level files, one per entry of the journey's plan.
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "forge.h"
#include "level_design.h"

namespace forge {

void forgeLevels(Context& ctx) {
    // Levels are independent: two workers design them (the bot's trial games take the time),
    // and the files are written in order afterwards, so the result never depends on timing.
    std::vector<std::string> texts(kLevels);
    std::vector<LevelSummary> sums(kLevels);
    auto work = [&](int first) {
        for (int index = first; index < kLevels; index += 2) texts[index] = designTunedLevel(planLevel(index), &sums[index]);
    };
    std::thread helper(work, 1);
    work(0);
    helper.join();
    if (ctx.levelReport)
        std::printf("level stage figures cells targets chains bonuses time moves limit-s limit-moves bot-mean bot-worst cleared\n");
    for (int index = 0; index < kLevels; ++index) {
        char name[64];
        std::snprintf(name, sizeof name, "levels/pack1_%.2i.lvl", index + 1);
        LevelPlan plan = planLevel(index);
        const LevelSummary& sum = sums[index];
        writeOutput(ctx, name, texts[index]);
        if (ctx.levelReport)
            std::printf("%5d %5d %7d %5d %7d %6d %7d %5.1f %5d %7.0f %11d %8.1f %9d %4d/%d\n", index + 1, plan.stage, plan.figures,
                        sum.cells, sum.targets, sum.chained, sum.presetBonuses, sum.timeValue, sum.movesValue,
                        adventureTimeLimitMs(index, sum.timeValue) / 1000.0f,
                        puzzleMovesLimit(index, sum.movesValue), sum.bot.meanMoves, sum.bot.worstMoves,
                        sum.bot.cleared, sum.bot.runs);
    }
}

}  // namespace forge
