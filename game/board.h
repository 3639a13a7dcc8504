#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The pure board rules: geometry, neighbours in the order a click tries them, the deal and the
// completion test. Cells and tiles are numbered row by row from 0; the last tile is the blank.
namespace board {

constexpr int kGame33 = 33;
constexpr int kGame44 = 44;

using Map = std::vector<std::int16_t>;

// N for a game type (4 for 44, 3 otherwise).
int side(int gameType);
// The blank's tile number N x N - 1.
int lastTile(int gameType);

// Neighbours of a cell in the order left, right, above, below, leaving out those off the board.
std::vector<int> neighbours(int gameType, int cell);

// A random draw uniform in [0, 1), strictly below 1.
using Random = std::function<float()>;

// The deal: one draw per n = L down to 0, k = floor(n * r), so read from the last cell
// backwards the arrangement is a single cycle through all tiles.
Map deal(int gameType, const Random& random);

// Every tile but the blank stands in its own cell.
bool isComplete(const Map& tileMap, int gameType);

// The 3 x 3 position as the solver writes it: "0" for the blank, digit t + 1 for tile t.
std::string toBoardState(const Map& tileMap);

}  // namespace board
