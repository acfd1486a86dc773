// Level files: any text read as a level, dealt and set up, must leave a sound board.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "board/board.h"
#include "board/falling.h"
#include "board/level.h"
#include "platform/random.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<char> text(size + 1, '\0');
    if (size) std::memcpy(text.data(), data, size);
    platform::srand(1);
    const int index = size ? data[0] % kLevelCount : 0;
    board().mode = static_cast<GameMode>(size > 1 ? data[1] % 3 : 0);
    startLevelFromText(index, text.data());
    const Board& b = board();
    if (b.figureCount < 1 || b.figureCount > kFigureKinds) std::abort();
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            const Cell& cell = b.cells[r][c];
            if (cell.squares < -1 || cell.squares > 2) std::abort();
            if (cell.figure < -1 || cell.figure >= kFigureKinds) std::abort();
        }
    for (int k = 0; k < kFigureKinds; ++k)
        if (b.pictureOfFigure[k] < 0 || b.pictureOfFigure[k] >= kFigureKinds) std::abort();
    // A few frames of play on it.
    for (int i = 0; i < 3; ++i) {
        fallStep();
        fallMotion();
        countGroups();
    }
    return 0;
}
