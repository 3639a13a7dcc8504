#include "game/board.h"

#include <cmath>
#include <string>

namespace board {

int side(int gameType) {
    return gameType == kGame44 ? 4 : 3;
}

int lastTile(int gameType) {
    return side(gameType) * side(gameType) - 1;
}

std::vector<int> neighbours(int gameType, int cell) {
    const int n = side(gameType);
    std::vector<int> out;
    if (cell < 0 || cell >= n * n) return out;
    if (cell % n != 0) out.push_back(cell - 1);
    if (cell % n != n - 1) out.push_back(cell + 1);
    if (cell >= n) out.push_back(cell - n);
    if (cell < n * (n - 1)) out.push_back(cell + n);
    return out;
}

Map deal(int gameType, const Random& random) {
    const int last = lastTile(gameType);
    std::vector<std::int16_t> remaining(last + 1);
    for (int i = 0; i <= last; ++i) remaining[i] = static_cast<std::int16_t>(i);
    Map tileMap(last + 1);
    for (int n = last; n >= 0; --n) {
        const float r = random();
        int k = static_cast<int>(std::floor(static_cast<float>(n) * r));
        // A draw outside [0, 1) from a faulty source must not index outside the list.
        if (k < 0) k = 0;
        if (n > 0 && k >= n) k = n - 1;
        tileMap[last - n] = remaining[k];
        remaining[k] = remaining[n];
    }
    return tileMap;
}

bool isComplete(const Map& tileMap, int gameType) {
    const int last = lastTile(gameType);
    if (static_cast<int>(tileMap.size()) < last) return false;
    for (int i = 0; i < last; ++i) {
        if (tileMap[i] != i) return false;
    }
    return true;
}

std::string toBoardState(const Map& tileMap) {
    std::string s;
    for (const std::int16_t t : tileMap) s += t == 8 ? std::string("0") : std::to_string(t + 1);
    return s;
}

}  // namespace board
