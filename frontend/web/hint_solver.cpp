// The hint's search in the browser: the optimal solver alone, built as a module of its own for a
// web worker (hint_worker.js), so that a search never holds up the page, and the page's own
// download stays as small as it was.
#include "solver/optimal_solver.h"

#include <emscripten.h>

#include <cstdint>

// The position's cells packed four bits each, cell 0 lowest, 9 or 16 of them (lo holds cells
// 0-7, hi the rest). Returns the tile to move first on a shortest way home, 0 when the position
// is solved already, -1 when it cannot be solved or is not a position.
extern "C" EMSCRIPTEN_KEEPALIVE int tessle_first_tile(int cells, std::uint32_t lo,
                                                      std::uint32_t hi) {
    optimal::Position position;
    for (int c = 0; c < cells; ++c) {
        const std::uint32_t word = c < 8 ? lo : hi;
        position.push_back(static_cast<int>((word >> (4 * (c % 8))) & 0xF));
    }
    const optimal::Answer answer = optimal::solve(position);
    if (answer.outcome != optimal::Outcome::kSolved) return -1;
    return answer.tiles.empty() ? 0 : answer.tiles.front();
}

// Builds the 4 x 4 tables now, ahead of the first search on that board.
extern "C" EMSCRIPTEN_KEEPALIVE void tessle_prepare() {
    optimal::prepare();
}
