#include "solver/bfs_solver.h"

#include <algorithm>
#include <limits>

namespace {

constexpr int kCells = 9;
constexpr size_t kPermutations = 362880;  // 9!
// Every move is a transposition plus a blank step, so positions fall into two classes of 9!/2;
// a search from one start stays in its class.
constexpr size_t kReachable = kPermutations / 2;

constexpr uint64_t kCellsMask = (uint64_t{1} << 36) - 1;
constexpr int kBlankShift = 36;
constexpr int kMoveShift = 40;
constexpr int kOrderShift = 43;
constexpr unsigned kNoMove = 4;
constexpr uint64_t kNoGoal = ~uint64_t{0};

// Per move (up, left, right, down): the 0-based blank cells it is allowed from, as a bit mask,
// and the offset to the cell the blank moves to. Same rules as GetMapUp and friends.
constexpr unsigned kAllowed[4] = {0b111111000, 0b110110110, 0b011011011, 0b000111111};
constexpr int kDelta[4] = {-3, -1, 1, 3};

constexpr uint32_t kFactorial[9] = {1, 1, 2, 6, 24, 120, 720, 5040, 40320};

struct PopCount9 {
    uint8_t bits[512];
    constexpr PopCount9() : bits() {
        for (int m = 1; m < 512; ++m) bits[m] = static_cast<uint8_t>(bits[m >> 1] + (m & 1));
    }
};
// A table rather than __builtin_popcount: the default x86-64 target has no POPCNT instruction.
constexpr PopCount9 kPopCount;

constexpr uint32_t kTileOrders = 40320;  // 8!

// Lehmer rank of the eight tiles (labels 1..8) read row by row with the blank skipped.
inline uint32_t TileOrderRank(uint64_t cells, unsigned blank) {
    const uint64_t below = cells & ((uint64_t{1} << (4 * blank)) - 1);
    const uint64_t tiles = below | (cells >> (4 * (blank + 1)) << (4 * blank));
    uint32_t rank = 0;
    uint32_t used = 0;
    for (int k = 0; k < kCells - 2; ++k) {
        const uint32_t d = static_cast<uint32_t>(tiles >> (4 * k)) & 15;
        const uint32_t smaller_unused = d - 1 - kPopCount.bits[used & ((1u << d) - 1)];
        rank += smaller_unused * kFactorial[kCells - 2 - k];
        used |= 1u << d;
    }
    return rank;
}

// Perfect hash of a position: blank cell and tile order. A horizontal move keeps the tile
// order, so only vertical moves pay for a new rank.
inline uint32_t Slot(unsigned blank, uint32_t tile_order) {
    return blank * kTileOrders + tile_order;
}

inline bool TestAndSet(std::vector<uint64_t>& bits, uint32_t rank) {
    uint64_t& word = bits[rank >> 6];
    const uint64_t mask = uint64_t{1} << (rank & 63);
    const bool was_set = (word & mask) != 0;
    word |= mask;
    return was_set;
}

// 1-based position of the first '0', 0 when there is none. Positions past INT32_MAX (only the
// range 1..9 matters) are clamped rather than wrapped into it.
inline int32_t BlankPosition(const std::string& s) {
    const size_t z = s.find('0');
    if (z == std::string::npos) return 0;
    return static_cast<int32_t>(std::min<size_t>(z + 1, std::numeric_limits<int32_t>::max()));
}

inline size_t HashOf(std::string_view s) {
    return std::hash<std::string_view>{}(s);
}

}  // namespace

void BfsSolver::Reset(const std::string& start) {
    MapList.clear();
    MapList.push_back(MapNode{0, start});
    index_kind_ = IndexKind::kNone;
}

std::string BfsSolver::PSwap(std::string Str1, int32_t P1, int32_t P2) {
    const auto len = static_cast<int64_t>(Str1.size());
    if (P1 >= 1 && P2 >= 1 && P1 <= len && P2 <= len && P1 != P2) {
        std::swap(Str1[static_cast<size_t>(P1 - 1)], Str1[static_cast<size_t>(P2 - 1)]);
    }
    return Str1;
}

std::string BfsSolver::GetMapUp(std::string StrMap) {
    const int32_t p = BlankPosition(StrMap);
    if (p >= 4 && p <= 9) return PSwap(std::move(StrMap), p, p - 3);
    return {};
}

std::string BfsSolver::GetMapLeft(std::string StrMap) {
    const int32_t p = BlankPosition(StrMap);
    if (p >= 1 && p <= 9 && p % 3 != 1) return PSwap(std::move(StrMap), p, p - 1);
    return {};
}

std::string BfsSolver::GetMapRight(std::string StrMap) {
    const int32_t p = BlankPosition(StrMap);
    if (p >= 1 && p <= 9 && p % 3 != 0) return PSwap(std::move(StrMap), p, p + 1);
    return {};
}

std::string BfsSolver::GetMapDown(std::string StrMap) {
    const int32_t p = BlankPosition(StrMap);
    if (p >= 1 && p <= 6) return PSwap(std::move(StrMap), p, p + 3);
    return {};
}

bool BfsSolver::IndexMatchesMapList() const {
    return index_kind_ != IndexKind::kNone && !MapList.empty() && indexed_size_ == MapList.size() &&
           MapList[0].Map == indexed_start_;
}

bool BfsSolver::IsExist(const std::string& Str1) const {
    if (MapList.empty()) return false;
    if (Str1 == MapList[0].Map) return true;
    if (IndexMatchesMapList()) {
        return index_kind_ == IndexKind::kPermutation ? PermutationContains(Str1)
                                                      : GeneralContains(Str1);
    }
    return std::any_of(MapList.begin() + 1, MapList.end(),
                       [&](const MapNode& n) { return n.Map == Str1; });
}

bool BfsSolver::FindAnswer() {
    bool found = false;
    if (!MapList.empty()) {
        size_t expanded = 0;
        if (TryBuildPermutationIndex()) {
            index_kind_ = IndexKind::kPermutation;
            found = RunPermutationSearch(expanded);
            // The fast loop works on packed states; leave NextMap as the expansion loop would.
            FillNextMap(expanded);
        } else {
            BuildGeneralIndex();
            index_kind_ = IndexKind::kGeneral;
            found = RunGeneralSearch(expanded);
        }
        indexed_size_ = MapList.size();
        indexed_start_ = MapList[0].Map;
        if (found) RebuildAnswerPath(static_cast<int32_t>(expanded));
    }
    if (OnFinished) OnFinished();
    return found;
}

void BfsSolver::FillNextMap(size_t node) {
    const std::string& map = MapList[node].Map;
    NextMap = {GetMapUp(map), GetMapLeft(map), GetMapRight(map), GetMapDown(map)};
}

void BfsSolver::RebuildAnswerPath(int32_t node) {
    AnswerPath.clear();
    AnswerPath.push_back(node);
    const auto size = static_cast<int64_t>(MapList.size());
    do {
        const int32_t parent = MapList[static_cast<size_t>(AnswerPath.back())].Parent;
        // Our own nodes always point to a smaller index; entries seeded by hand might not, so
        // end the walk at the start rather than loop or leave MapList.
        const bool usable =
            parent >= 0 && parent < size && static_cast<int64_t>(AnswerPath.size()) <= size;
        AnswerPath.push_back(usable ? parent : 0);
    } while (AnswerPath.back() != 0);
}

// ---- Permutation mode -------------------------------------------------------------------------

bool BfsSolver::TryBuildPermutationIndex() {
    const std::string& start = MapList[0].Map;
    if (start.size() < kCells) return false;

    label_.fill(-1);
    bool all_digits = true;
    bool has_blank = false;
    for (int k = 0; k < kCells; ++k) {
        const auto b = static_cast<unsigned char>(start[k]);
        if (label_[b] != -1) return false;
        label_[b] = 0;
        has_blank = has_blank || b == '0';
        all_digits = all_digits && b >= '0' && b <= '8';
    }
    if (!has_blank) return false;

    // Digits label themselves so kGoal packs directly; other byte sets cannot form the goal.
    int8_t next_label = 1;
    for (int k = 0; k < kCells; ++k) {
        const auto b = static_cast<unsigned char>(start[k]);
        int8_t label = 0;
        if (all_digits) {
            label = static_cast<int8_t>(b - '0');
        } else if (b != '0') {
            label = next_label++;
        }
        label_[b] = label;
        glyph_[static_cast<size_t>(label)] = static_cast<char>(b);
    }
    goal_cells_ = kNoGoal;
    if (all_digits && start.size() == kCells) {
        goal_cells_ = 0;
        for (int k = 0; k < kCells; ++k) {
            goal_cells_ |= static_cast<uint64_t>(kGoal[static_cast<size_t>(k)] - '0') << (4 * k);
        }
    }

    seen_.assign(kPermutations / 64 + 1, 0);
    queue_.clear();
    queue_.reserve(std::max(MapList.size(), kReachable));
    const std::string_view tail = std::string_view(start).substr(kCells);
    for (const MapNode& node : MapList) {
        const std::string& s = node.Map;
        if (s.size() != start.size() || std::string_view(s).substr(kCells) != tail) return false;
        uint64_t cells = 0;
        unsigned blank = 0;
        if (!PackCells(s, cells, blank)) return false;
        const uint32_t order = TileOrderRank(cells, blank);
        TestAndSet(seen_, Slot(blank, order));
        queue_.push_back(cells | uint64_t{blank} << kBlankShift | uint64_t{kNoMove} << kMoveShift |
                         uint64_t{order} << kOrderShift);
    }
    scratch_ = start;
    return true;
}

bool BfsSolver::PackCells(std::string_view s, uint64_t& cells, unsigned& blank) const {
    cells = 0;
    blank = 0;
    unsigned labels_seen = 0;
    for (int k = 0; k < kCells; ++k) {
        const int8_t label = label_[static_cast<unsigned char>(s[static_cast<size_t>(k)])];
        if (label < 0) return false;
        labels_seen |= 1u << label;
        if (label == 0) blank = static_cast<unsigned>(k);
        cells |= static_cast<uint64_t>(label) << (4 * k);
    }
    return labels_seen == (1u << kCells) - 1;
}

bool BfsSolver::PermutationContains(std::string_view s) const {
    if (s.size() != indexed_start_.size() ||
        s.substr(kCells) != std::string_view(indexed_start_).substr(kCells)) {
        return false;
    }
    uint64_t cells = 0;
    unsigned blank = 0;
    if (!PackCells(s, cells, blank)) return false;
    const uint32_t rank = Slot(blank, TileOrderRank(cells, blank));
    return (seen_[rank >> 6] >> (rank & 63) & 1) != 0;
}

bool BfsSolver::RunPermutationSearch(size_t& expanded) {
    MapList.reserve(std::max(MapList.size(), kReachable));
    size_t last = MapList.size() - 1;
    size_t i = 0;
    for (; i <= last; ++i) {
        const uint64_t state = queue_[i];
        const uint64_t cells = state & kCellsMask;
        const unsigned p = static_cast<unsigned>(state >> kBlankShift) & 15;
        const unsigned arrived_by = static_cast<unsigned>(state >> kMoveShift) & 7;
        const auto order = static_cast<uint32_t>(state >> kOrderShift);
        for (unsigned dir = 0; dir < 4; ++dir) {
            if ((kAllowed[dir] >> p & 1) == 0) continue;
            const unsigned q = static_cast<unsigned>(static_cast<int>(p) + kDelta[dir]);
            const uint64_t tile = cells >> (4 * q) & 15;
            // The blank's nibble is 0, so moving the tile into it is an add and a subtract.
            const uint64_t next = cells + (tile << (4 * p)) - (tile << (4 * q));
            if (next == goal_cells_) {
                expanded = i;
                return true;
            }
            // Undoing the move that produced this node gives its parent, which is stored.
            if (dir == 3 - arrived_by) continue;
            const bool vertical = dir == 0 || dir == 3;
            const uint32_t next_order = vertical ? TileOrderRank(next, q) : order;
            if (TestAndSet(seen_, Slot(q, next_order))) continue;

            queue_.push_back(next | uint64_t{q} << kBlankShift | uint64_t{dir} << kMoveShift |
                             uint64_t{next_order} << kOrderShift);
            for (int k = 0; k < kCells; ++k) {
                scratch_[static_cast<size_t>(k)] = glyph_[next >> (4 * k) & 15];
            }
            MapNode& node = MapList.emplace_back();
            node.Parent = static_cast<int32_t>(i);
            node.Map = scratch_;
            ++last;
        }
    }
    expanded = last;
    return false;
}

// ---- General mode -----------------------------------------------------------------------------

void BfsSolver::BuildGeneralIndex() {
    size_t capacity = 16;
    while (capacity < MapList.size() * 2) capacity *= 2;
    slots_.assign(capacity, -1);
    general_count_ = 0;
    for (size_t j = 0; j < MapList.size(); ++j) {
        if (!GeneralContains(MapList[j].Map)) GeneralInsert(static_cast<int32_t>(j));
    }
}

bool BfsSolver::GeneralContains(std::string_view s) const {
    const size_t mask = slots_.size() - 1;
    for (size_t at = HashOf(s) & mask;; at = (at + 1) & mask) {
        const int32_t index = slots_[at];
        if (index < 0) return false;
        if (MapList[static_cast<size_t>(index)].Map == s) return true;
    }
}

void BfsSolver::GeneralInsert(int32_t index) {
    if ((general_count_ + 1) * 2 > slots_.size()) {
        // Keep the load at most one half; rehash from the strings in MapList.
        std::vector<int32_t> old;
        old.swap(slots_);
        slots_.assign(old.size() * 2, -1);
        general_count_ = 0;
        for (const int32_t j : old) {
            if (j >= 0) GeneralInsert(j);
        }
    }
    const size_t mask = slots_.size() - 1;
    size_t at = HashOf(MapList[static_cast<size_t>(index)].Map) & mask;
    while (slots_[at] >= 0) at = (at + 1) & mask;
    slots_[at] = index;
    ++general_count_;
}

bool BfsSolver::RunGeneralSearch(size_t& expanded) {
    size_t last = MapList.size() - 1;
    size_t i = 0;
    for (; i <= last; ++i) {
        FillNextMap(i);
        for (const std::string& candidate : NextMap) {
            if (candidate == kGoal) {
                expanded = i;
                return true;
            }
            if (!candidate.empty() && !GeneralContains(candidate)) {
                MapList.push_back(MapNode{static_cast<int32_t>(i), candidate});
                GeneralInsert(static_cast<int32_t>(MapList.size() - 1));
                ++last;
            }
        }
    }
    expanded = last;
    return false;
}
