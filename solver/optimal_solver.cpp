#include "solver/optimal_solver.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>

// 3 x 3: IDA* with Manhattan distance plus linear conflicts.
// 4 x 4: IDA* with additive disjoint pattern databases 6-6-3 (Korf and Felner), each looked up
// also for the position mirrored about the main diagonal, the larger sum taken.
//
// Cells are numbered row by row from 0; the goal holds tile t in cell t - 1 and the blank in the
// last cell. Mirroring about the main diagonal maps the goal onto itself (tile t to the tile whose
// home is the mirror of t's home), so the same databases serve the mirrored position.
//
// The databases are built at the first 4 x 4 solve (or prepare()), by a breadth-first search
// from the goal: 5.8 MB once built, some 30 MB while building, about 4 s on one core. Korf's
// 100 instances then take about 2 s in all, the hardest 80-move positions some 20 s each.

namespace optimal {
namespace {

constexpr int kMaxSolution = 96;       // longer than any shortest 4 x 4 solution (80)
constexpr uint32_t kPollEvery = 4096;  // nodes between looks at the cancel flag

// ---- Shared helpers -------------------------------------------------------------------------

struct PopCount16 {
    std::array<uint8_t, 65536> bits{};
    PopCount16() {
        for (size_t m = 1; m < bits.size(); ++m)
            bits[m] = static_cast<uint8_t>(bits[m >> 1] + (m & 1));
    }
};

// Whether the permutation plus the blank's distance from its home is even, the invariant of
// every move (a move swaps two cells and steps the blank by one).
bool ParityEven(const Position& p, int n) {
    const int cells = n * n;
    int inversions = 0;
    // Blank counted as the largest value, so the goal is the identity.
    auto value = [&](int c) {
        return p[static_cast<size_t>(c)] == 0 ? cells : p[static_cast<size_t>(c)];
    };
    for (int i = 0; i < cells; ++i) {
        for (int j = i + 1; j < cells; ++j) {
            if (value(i) > value(j)) ++inversions;
        }
    }
    int blank = 0;
    while (p[static_cast<size_t>(blank)] != 0) ++blank;
    const int distance = (n - 1 - blank / n) + (n - 1 - blank % n);
    return (inversions + distance) % 2 == 0;
}

bool IsGoal(const Position& p) {
    for (size_t c = 0; c + 1 < p.size(); ++c) {
        if (p[c] != static_cast<int>(c) + 1) return false;
    }
    return true;
}

int SideOf(const Position& p) {
    if (p.size() == 9) return 3;
    if (p.size() == 16) return 4;
    return 0;
}

// ---- 4 x 4 pattern databases ----------------------------------------------------------------

constexpr int kGroups = 3;
constexpr int kMaxGroupSize = 6;
// The goal's grid:      1  2  3  4
//                       5  6  7  8
//                       9 10 11 12
//                      13 14 15  _
#ifndef TESSLE_OPTIMAL_SMALL_TABLES
constexpr int kGroupSize[kGroups] = {6, 6, 3};
constexpr int kGroupTiles[kGroups][kMaxGroupSize] = {
    {4, 7, 8, 11, 12, 15},
    {5, 6, 9, 10, 13, 14},
    {1, 2, 3, 0, 0, 0},
};
#else
// Three groups of five: 3 x 524,160 entries, built in a tenth of the time, for the sanitizers'
// builds, where the full tables would take minutes. Searches take several times longer.
constexpr int kGroupSize[kGroups] = {5, 5, 5};
constexpr int kGroupTiles[kGroups][kMaxGroupSize] = {
    {4, 7, 8, 11, 12, 0},
    {5, 9, 10, 13, 14, 0},
    {1, 2, 3, 6, 15, 0},
};
#endif

constexpr int Transpose(int cell) {
    return (cell % 4) * 4 + cell / 4;
}
// The tile whose home mirrors tile t's home.
constexpr int MirrorTile(int t) {
    return Transpose(t - 1) + 1;
}

uint32_t EntriesFor(int k) {
    uint32_t n = 1;
    for (int i = 0; i < k; ++i) n *= static_cast<uint32_t>(16 - i);
    return n;
}

uint16_t NeighbourMask(int cell) {
    uint16_t m = 0;
    const int r = cell / 4, c = cell % 4;
    if (r > 0) m |= static_cast<uint16_t>(1u << (cell - 4));
    if (r < 3) m |= static_cast<uint16_t>(1u << (cell + 4));
    if (c > 0) m |= static_cast<uint16_t>(1u << (cell - 1));
    if (c < 3) m |= static_cast<uint16_t>(1u << (cell + 1));
    return m;
}

// The number of the lowest set bit of a nonzero mask.
inline int LowestBit(uint32_t mask) {
#if defined(__GNUC__) || defined(__clang__)
    return __builtin_ctz(mask);
#else
    int bit = 0;
    while (!(mask & (1u << bit))) ++bit;
    return bit;
#endif
}

// The cells the blank reaches from `start` without crossing `blocked`.
uint16_t Flood(int start, uint16_t blocked) {
    constexpr uint32_t kNotCol0 = 0xEEEE, kNotCol3 = 0x7777;
    const uint32_t open = ~static_cast<uint32_t>(blocked) & 0xFFFF;
    uint32_t region = 1u << start;
    for (;;) {
        uint32_t grown = region | ((region << 1) & kNotCol0) | ((region >> 1) & kNotCol3) |
                         (region << 4) | (region >> 4);
        grown &= open;
        if (grown == region) return static_cast<uint16_t>(region);
        region = grown;
    }
}

// How the rank of a group's cells changes when its tile at digit `place` moves from `from` to
// the cell `to` beside it; owner_at(cell) is the digit of the group's tile on a cell, or -1. A
// move along the row changes only the tile's own digit, by one; a move to the next row changes
// it by four less the earlier tiles passed over, and each later tile passed over has one free
// cell more, or less, before it.
template <typename OwnerAt>
inline int32_t RankDelta(const uint32_t* multiplier, int place, int from, int to,
                         OwnerAt owner_at) {
    if (to == from + 1 || to == from - 1)
        return (to - from) * static_cast<int32_t>(multiplier[place]);
    const int low = to < from ? to : from;
    int32_t step = 4 * static_cast<int32_t>(multiplier[place]);
    for (int b = low + 1; b < low + 4; ++b) {
        const int o = owner_at(b);
        if (o >= 0 && o < place) step -= static_cast<int32_t>(multiplier[place]);
        if (o > place) step += static_cast<int32_t>(multiplier[o]);
    }
    return to > from ? step : -step;
}

// The Manhattan distance of a tile from its home cell.
inline int Distance(int tile, int cell) {
    const int home = tile - 1;
    return std::abs(home / 4 - cell / 4) + std::abs(home % 4 - cell % 4);
}

// Sorts keys by their low `bits` bits, least significant byte first.
void SortKeys(std::vector<uint32_t>& keys, std::vector<uint32_t>& scratch, int bits) {
    scratch.resize(keys.size());
    uint32_t count[256];
    for (int shift = 0; shift < bits; shift += 8) {
        std::fill(count, count + 256, 0u);
        for (const uint32_t key : keys) ++count[(key >> shift) & 255];
        uint32_t sum = 0;
        for (uint32_t& c : count) {
            const uint32_t n = c;
            c = sum;
            sum += n;
        }
        for (const uint32_t key : keys) scratch[count[(key >> shift) & 255]++] = key;
        keys.swap(scratch);
    }
}

struct Tables {
    // A group's entry is the fewest moves of its tiles that bring them home (the blank going
    // round the other tiles freely), less their Manhattan distances. Every move of a tile
    // changes its distance by one, so that is even; half of it is kept, two to a byte (it is 6
    // at most).
    std::array<std::vector<uint8_t>, kGroups> pdb;
    int Extra(int g, uint32_t rank) const {
        return (pdb[static_cast<size_t>(g)][rank >> 1] >> ((rank & 1) * 4)) & 15;
    }
    const uint8_t* ExtraAddress(int g, uint32_t rank) const {
        return &pdb[static_cast<size_t>(g)][rank >> 1];
    }
    PopCount16 popcount;
    std::array<uint16_t, 16> neighbours{};
    // For each group, the tiles whose mirrored positions it is looked up with.
    int mirror_tiles[kGroups][kMaxGroupSize] = {};
    int group_of[16] = {};         // tile -> group
    int mirror_group_of[16] = {};  // tile -> group in which the mirrored lookup sees it
    // Tile -> its group and place in the group (group * 8 + place), 0xFF for the blank; the same
    // for the mirrored lookup, where tile t stands for MirrorTile(t).
    uint8_t owner[16] = {};
    uint8_t mirror_owner[16] = {};
    uint32_t multiplier[kGroups][kMaxGroupSize] = {};  // weight of each digit of a rank
    double build_seconds = 0;

    // Mixed-radix rank of k distinct cells (first cell most significant).
    uint32_t Rank(const int* cells, int k) const {
        uint32_t used = 0;
        uint32_t rank = 0;
        for (int i = 0; i < k; ++i) {
            const int c = cells[i];
#ifdef __EMSCRIPTEN__  // WebAssembly counts bits in one instruction
            const uint32_t smaller_free =
                static_cast<uint32_t>(c) -
                static_cast<uint32_t>(__builtin_popcount(used & ((1u << c) - 1)));
#else  // the default x86-64 target has no such instruction
            const uint32_t smaller_free =
                static_cast<uint32_t>(c) - popcount.bits[used & ((1u << c) - 1)];
#endif
            rank = rank * static_cast<uint32_t>(16 - i) + smaller_free;
            used |= 1u << c;
        }
        return rank;
    }
};

// Breadth-first search from the goal over (pattern cells, blank region): moving a pattern tile
// costs one, moving the blank among the other cells costs nothing, so a state is the pattern
// with the region of the blank. A queue entry packs the k cells in 4 bits each and the blank's
// cell above them; `reached` keeps per pattern the blank cells already reached.
// The breadth-first search that fills one group's table, resumable part by part (see
// Tables::pdb for what an entry holds).
class GroupBuild {
  public:
    GroupBuild(Tables& t, int g) : t_(t), g_(g), k_(kGroupSize[g]) {
        const uint32_t entries = EntriesFor(k_);
        t_.pdb[static_cast<size_t>(g)].assign((entries + 1) / 2, 0);
        reached_.assign(entries, 0);
        for (int i = 0; i < k_; ++i) {
            for (int c = 0; c < 16; ++c) distances_[i][c] = Distance(kGroupTiles[g][i], c);
        }
        int cells[kMaxGroupSize];
        uint16_t occupied = 0;
        for (int i = 0; i < k_; ++i) {
            cells[i] = kGroupTiles[g][i] - 1;
            occupied = static_cast<uint16_t>(occupied | (1u << cells[i]));
        }
        reached_[t_.Rank(cells, k_)] = Flood(15, occupied);
        current_[static_cast<size_t>(cells[0])].push_back(Pack(cells, 15));
        current_size_ = 1;
    }

    bool Done() const { return current_size_ == 0; }

    // Searches the next part of the current layer.
    void Step() {
        std::vector<uint32_t>& part = current_[static_cast<size_t>(part_)];
        // In rank order the lookups sweep the tables rather than jump about.
        SortKeys(part, scratch_, 4 * k_);
        for (const uint32_t entry : part) Expand(entry);
        std::vector<uint32_t>().swap(part);
        if (++part_ == 16) {
            current_.swap(next_);
            current_size_ = next_size_;
            next_size_ = 0;
            part_ = 0;
            ++depth_;
        }
    }

  private:
    uint32_t Pack(const int* cells, int blank) const {
        uint32_t v = 0;
        for (int i = 0; i < k_; ++i) v = (v << 4) | static_cast<uint32_t>(cells[i]);
        return (v << 4) | static_cast<uint32_t>(blank);
    }

    void Expand(uint32_t entry) {
        const int k = k_;
        const uint32_t* multiplier = t_.multiplier[g_];
        std::vector<uint8_t>& table = t_.pdb[static_cast<size_t>(g_)];
        int cells[kMaxGroupSize];
        uint32_t v = entry >> 4;
        const int blank = static_cast<int>(entry & 15);
        uint16_t occupied = 0;
        for (int i = k - 1; i >= 0; --i) {
            cells[i] = static_cast<int>(v & 15);
            occupied = static_cast<uint16_t>(occupied | (1u << cells[i]));
            v >>= 4;
        }
        const uint16_t region = Flood(blank, occupied);
        int distance = 0;
        for (int i = 0; i < k; ++i) distance += distances_[i][cells[i]];
        // The successors' ranks from this one's.
        const uint32_t rank = t_.Rank(cells, k);
        int8_t owner[16];
        std::memset(owner, -1, sizeof owner);
        for (int i = 0; i < k; ++i) owner[cells[i]] = static_cast<int8_t>(i);
        for (int i = 0; i < k; ++i) {
            const int from = cells[i];
            uint32_t targets = t_.neighbours[static_cast<size_t>(from)] & region;
            while (targets != 0) {
                const int to = LowestBit(targets);
                targets &= targets - 1;
                const int32_t delta =
                    RankDelta(multiplier, i, from, to, [&owner](int b) { return owner[b]; });
                const uint32_t next_rank = rank + static_cast<uint32_t>(delta);
                if (reached_[next_rank] & (1u << from)) continue;
                const uint16_t moved = static_cast<uint16_t>(occupied ^ (1u << from) ^ (1u << to));
                if (reached_[next_rank] == 0) {
                    const int moved_distance = distance - distances_[i][from] + distances_[i][to];
                    const int extra = (depth_ + 1 - moved_distance) / 2;
                    table[next_rank >> 1] = static_cast<uint8_t>(table[next_rank >> 1] |
                                                                 extra << ((next_rank & 1) * 4));
                }
                reached_[next_rank] =
                    static_cast<uint16_t>(reached_[next_rank] | Flood(from, moved));
                cells[i] = to;
                next_[static_cast<size_t>(cells[0])].push_back(Pack(cells, from));
                ++next_size_;
                cells[i] = from;
            }
        }
    }

    Tables& t_;
    const int g_;
    const int k_;
    std::vector<uint16_t>
        reached_;  // per pattern, the blank's cells reached; 0 until first reached
    int distances_[kMaxGroupSize][16] = {};  // of the group's tiles from their homes, by cell
    // A layer of the search in 16 parts by the cell of the group's first tile, which is the
    // rank's leading digit: a part's own lookups stay within a sixteenth of the tables, and each
    // part is let go once searched.
    std::array<std::vector<uint32_t>, 16> current_;
    std::array<std::vector<uint32_t>, 16> next_;
    std::vector<uint32_t> scratch_;
    size_t current_size_ = 0;
    size_t next_size_ = 0;
    int part_ = 0;
    int depth_ = 0;
};

// The tables and their preparation, a slice at a time, shared by every thread.
struct Preparation {
    std::mutex mutex;
    std::atomic<bool> ready{false};
    Tables* tables = nullptr;  // kept to the end of the program
    std::unique_ptr<GroupBuild> build;
    int group = 0;
    double seconds = 0;

    // One slice of the work, with the mutex held.
    void Step() {
        if (tables == nullptr) tables = NewTables();
        if (!build) build = std::make_unique<GroupBuild>(*tables, group);
        build->Step();
        if (build->Done()) {
            build.reset();
            if (++group == kGroups) ready.store(true, std::memory_order_release);
        }
    }

    // Works until ready, or until `budget` has passed when given; whether ready.
    bool Work(const std::chrono::steady_clock::duration* budget) {
        if (ready.load(std::memory_order_acquire)) return true;
        const std::lock_guard<std::mutex> lock(mutex);
        const auto start = std::chrono::steady_clock::now();
        auto now = start;
        while (!ready.load(std::memory_order_relaxed)) {
            Step();
            const auto before = now;
            now = std::chrono::steady_clock::now();
            seconds += std::chrono::duration<double>(now - before).count();
            if (budget != nullptr && now - start >= *budget) break;
        }
        if (ready.load(std::memory_order_relaxed)) tables->build_seconds = seconds;
        return ready.load(std::memory_order_relaxed);
    }

    static Tables* NewTables() {
        auto* t = new Tables;
        for (int c = 0; c < 16; ++c) t->neighbours[static_cast<size_t>(c)] = NeighbourMask(c);
        for (int g = 0; g < kGroups; ++g) {
            for (int i = 0; i < kGroupSize[g]; ++i) {
                const int tile = kGroupTiles[g][i];
                t->group_of[tile] = g;
                t->mirror_tiles[g][i] = MirrorTile(tile);
                t->mirror_group_of[MirrorTile(tile)] = g;
                t->owner[tile] = static_cast<uint8_t>(g * 8 + i);
                t->mirror_owner[MirrorTile(tile)] = static_cast<uint8_t>(g * 8 + i);
            }
        }
        t->owner[0] = t->mirror_owner[0] = 0xFF;
        for (int g = 0; g < kGroups; ++g) {
            const int k = kGroupSize[g];
            t->multiplier[g][k - 1] = 1;
            for (int i = k - 2; i >= 0; --i) {
                t->multiplier[g][i] = t->multiplier[g][i + 1] * static_cast<uint32_t>(16 - (i + 1));
            }
        }
        return t;
    }
};

// Never destroyed: a thread may still be building the tables while the program exits, and
// must not find them freed under it.
Preparation& GetPreparation() {
    static Preparation& preparation = *new Preparation;
    return preparation;
}

const Tables& GetTables() {
    Preparation& p = GetPreparation();
    p.Work(nullptr);
    return *p.tables;
}

// ---- Iterative deepening, shared by both boards ---------------------------------------------

// IDA*: depth-first searches within a growing bound on moves so far plus the heuristic. Derived
// provides Heuristic() of its position and Dfs(depth, blank, previous blank, bound), which calls
// Stop() at each node and returns the smallest f above the bound it met, or -1 when stopped.
template <typename Derived>
class Ida {
  public:
    Outcome Run(std::vector<int>& tiles, uint64_t& nodes) {
        Derived& self = static_cast<Derived&>(*this);
        int bound = RoundUp(self.Heuristic());
        for (;;) {
            if (cancel_ != nullptr && cancel_->load(std::memory_order_relaxed)) cancelled_ = true;
            const int next = cancelled_ ? -1 : self.Dfs(0, blank_, -1, bound);
            nodes = nodes_;
            if (cancelled_) return Outcome::kCancelled;
            if (found_) {
                tiles.assign(path_, path_ + length_);
                return Outcome::kSolved;
            }
            bound = RoundUp(next);
        }
    }

  protected:
    Ida(const Position& p, const std::atomic<bool>* cancel) : cancel_(cancel) {
        const int n = SideOf(p);
        while (p[static_cast<size_t>(blank_)] != 0) ++blank_;
        // Every move takes the blank to a cell of the other colour of a chessboard, so every
        // solution's length has the parity of the blank's distance from its home.
        parity_ = (n - 1 - blank_ / n + n - 1 - blank_ % n) % 2;
    }

    // Whether the search ends at this node: it is the goal (h is 0), or the cancel flag, looked
    // at every kPollEvery nodes, is raised.
    bool Stop(int depth, int h) {
        if (h == 0) {
            found_ = true;
            length_ = depth;
            return true;
        }
        if (++nodes_ % kPollEvery == 0 && cancel_ != nullptr &&
            cancel_->load(std::memory_order_relaxed)) {
            cancelled_ = true;
            return true;
        }
        return false;
    }

    int blank_ = 0;
    int path_[kMaxSolution] = {};  // the tiles moved on the way to the current node

  private:
    int RoundUp(int f) const { return f + ((f - parity_) & 1); }

    const std::atomic<bool>* cancel_;
    int parity_ = 0;
    int length_ = 0;
    bool found_ = false;
    bool cancelled_ = false;
    uint64_t nodes_ = 0;
};

// ---- 4 x 4 search ---------------------------------------------------------------------------

class Search4 : public Ida<Search4> {
  public:
    Search4(const Tables& t, const Position& p, const std::atomic<bool>* cancel)
        : Ida(p, cancel), t_(t) {
        for (int c = 0; c < 16; ++c) {
            board_[c] = p[static_cast<size_t>(c)];
            if (board_[c] != 0) {
                pos_[board_[c]] = c;
                distance_ += Distance(board_[c], c);
            }
        }
        for (int g = 0; g < kGroups; ++g) {
            normal_rank_[g] = NormalRank(g);
            mirror_rank_[g] = MirrorRank(g);
            normal_[g] = t_.Extra(g, normal_rank_[g]);
            mirror_[g] = t_.Extra(g, mirror_rank_[g]);
        }
    }

  private:
    friend class Ida<Search4>;

    uint32_t NormalRank(int g) const {
        int cells[kMaxGroupSize];
        for (int i = 0; i < kGroupSize[g]; ++i) cells[i] = pos_[kGroupTiles[g][i]];
        return t_.Rank(cells, kGroupSize[g]);
    }
    uint32_t MirrorRank(int g) const {
        int cells[kMaxGroupSize];
        for (int i = 0; i < kGroupSize[g]; ++i) cells[i] = Transpose(pos_[t_.mirror_tiles[g][i]]);
        return t_.Rank(cells, kGroupSize[g]);
    }
    // The tiles' Manhattan distances plus, for the position and its mirror image, what the
    // tables add to them; the larger.
    int Heuristic() const {
        const int a = normal_[0] + normal_[1] + normal_[2];
        const int b = mirror_[0] + mirror_[1] + mirror_[2];
        return distance_ + 2 * (a > b ? a : b);
    }

    struct Child {
        int to, tile, g, mg;
        uint32_t normal_rank, mirror_rank;
        int normal, mirror, distance, h;
    };

    // Searches below a node whose f is within the bound. Returns the smallest f above the bound
    // met, or -1 when found or cancelled.
    int Dfs(int depth, int blank, int previous, int bound) {
        if (Stop(depth, Heuristic())) return -1;
        // The children's table entries first, fetched together, so that their memory latencies
        // overlap; then only those within the bound are searched, the most promising first.
        Child children[4];
        int count = 0;
        uint32_t moves = t_.neighbours[static_cast<size_t>(blank)];
        if (previous >= 0) moves &= ~(1u << previous);
        while (moves != 0) {
            const int to = LowestBit(moves);
            moves &= moves - 1;
            Child& c = children[count++];
            c.to = to;
            c.tile = board_[to];
            // The tile slides from `to` into the blank; in the mirrored position, from the mirror
            // of `to` into the mirror of the blank.
            const int place = t_.owner[c.tile] & 7;
            c.g = t_.owner[c.tile] >> 3;
            c.normal_rank =
                normal_rank_[c.g] +
                static_cast<uint32_t>(RankDelta(t_.multiplier[c.g], place, to, blank, [&](int b) {
                    const int o = t_.owner[board_[b]];
                    return o >> 3 == c.g ? o & 7 : -1;
                }));
            const int mirror_place = t_.mirror_owner[c.tile] & 7;
            c.mg = t_.mirror_owner[c.tile] >> 3;
            c.mirror_rank =
                mirror_rank_[c.mg] +
                static_cast<uint32_t>(RankDelta(
                    t_.multiplier[c.mg], mirror_place, Transpose(to), Transpose(blank), [&](int v) {
                        const int o = t_.mirror_owner[board_[Transpose(v)]];
                        return o >> 3 == c.mg ? o & 7 : -1;
                    }));
            Prefetch(t_.ExtraAddress(c.g, c.normal_rank));
            Prefetch(t_.ExtraAddress(c.mg, c.mirror_rank));
        }
        int best = 1 << 30;
        int within = 0;
        const int normal_sum = normal_[0] + normal_[1] + normal_[2];
        const int mirror_sum = mirror_[0] + mirror_[1] + mirror_[2];
        for (int i = 0; i < count; ++i) {
            Child c = children[i];
            c.normal = t_.Extra(c.g, c.normal_rank);
            c.mirror = t_.Extra(c.mg, c.mirror_rank);
            const int a = normal_sum - normal_[c.g] + c.normal;
            const int b = mirror_sum - mirror_[c.mg] + c.mirror;
            c.distance = distance_ - Distance(c.tile, c.to) + Distance(c.tile, blank);
            c.h = c.distance + 2 * (a > b ? a : b);
            const int f = depth + 1 + c.h;
            if (f > bound) {
                if (f < best) best = f;
                continue;
            }
            // Insertion by h, smallest first.
            int j = within++;
            while (j > 0 && children[j - 1].h > c.h) {
                children[j] = children[j - 1];
                --j;
            }
            children[j] = c;
        }
        for (int i = 0; i < within; ++i) {
            const Child& c = children[i];
            board_[blank] = c.tile;
            board_[c.to] = 0;
            pos_[c.tile] = blank;
            const int saved_normal = normal_[c.g];
            const int saved_mirror = mirror_[c.mg];
            const uint32_t saved_normal_rank = normal_rank_[c.g];
            const uint32_t saved_mirror_rank = mirror_rank_[c.mg];
            normal_[c.g] = c.normal;
            mirror_[c.mg] = c.mirror;
            normal_rank_[c.g] = c.normal_rank;
            mirror_rank_[c.mg] = c.mirror_rank;
            const int saved_distance = distance_;
            distance_ = c.distance;
            path_[depth] = c.tile;
            const int r = Dfs(depth + 1, c.to, blank, bound);
            distance_ = saved_distance;
            normal_[c.g] = saved_normal;
            mirror_[c.mg] = saved_mirror;
            normal_rank_[c.g] = saved_normal_rank;
            mirror_rank_[c.mg] = saved_mirror_rank;
            pos_[c.tile] = c.to;
            board_[c.to] = c.tile;
            board_[blank] = 0;
            if (r < 0) return -1;
            if (r < best) best = r;
        }
        return best;
    }

    static void Prefetch(const uint8_t* p) {
#if defined(__GNUC__) || defined(__clang__)
        __builtin_prefetch(p);
#else
        (void)p;
#endif
    }

    const Tables& t_;
    int board_[16] = {};
    int pos_[16] = {};
    int normal_[kGroups] = {};  // table entries of the position and of its mirror image
    int mirror_[kGroups] = {};
    uint32_t normal_rank_[kGroups] = {};  // their ranks
    uint32_t mirror_rank_[kGroups] = {};
    int distance_ = 0;  // sum of the tiles' Manhattan distances
};

// ---- 3 x 3 search ---------------------------------------------------------------------------

class Search3 : public Ida<Search3> {
  public:
    Search3(const Position& p, const std::atomic<bool>* cancel) : Ida(p, cancel) {
        for (int c = 0; c < 9; ++c) board_[c] = p[static_cast<size_t>(c)];
    }

  private:
    friend class Ida<Search3>;

    // Manhattan distance plus two moves for each tile that must leave its row or column to
    // let another of the same line pass (linear conflicts, counted per line as the fewest tiles
    // to take out).
    int Heuristic() const {
        int h = 0;
        for (int c = 0; c < 9; ++c) {
            const int t = board_[c];
            if (t == 0) continue;
            const int home = t - 1;
            h += std::abs(home / 3 - c / 3) + std::abs(home % 3 - c % 3);
        }
        for (int line = 0; line < 3; ++line) {
            h += 2 * LineConflicts(line, true) + 2 * LineConflicts(line, false);
        }
        return h;
    }

    // Tiles of a row (or column) whose home is in that line, in cell order, reduced to the
    // fewest to remove so that the rest are in order.
    int LineConflicts(int line, bool row) const {
        int homes[3] = {};
        int n = 0;
        for (int i = 0; i < 3; ++i) {
            const int c = row ? line * 3 + i : i * 3 + line;
            const int t = board_[c];
            if (t == 0) continue;
            const int home = t - 1;
            if (row ? home / 3 == line : home % 3 == line) homes[n++] = row ? home % 3 : home / 3;
        }
        // Longest increasing subsequence of at most three.
        int longest = n > 0 ? 1 : 0;
        for (int i = 0; i < n; ++i) {
            for (int j = i + 1; j < n; ++j) {
                if (homes[i] < homes[j]) {
                    longest = std::max(longest, 2);
                    for (int l = j + 1; l < n; ++l) {
                        if (homes[j] < homes[l]) longest = 3;
                    }
                }
            }
        }
        return n - longest;
    }

    int Dfs(int depth, int blank, int previous, int bound) {
        const int h = Heuristic();
        const int f = depth + h;
        if (f > bound) return f;
        if (Stop(depth, h)) return -1;
        int best = 1 << 30;
        const int r0 = blank / 3, c0 = blank % 3;
        const int candidates[4] = {r0 > 0 ? blank - 3 : -1, c0 > 0 ? blank - 1 : -1,
                                   c0 < 2 ? blank + 1 : -1, r0 < 2 ? blank + 3 : -1};
        for (const int to : candidates) {
            if (to < 0 || to == previous) continue;
            const int tile = board_[to];
            board_[blank] = tile;
            board_[to] = 0;
            path_[depth] = tile;
            const int r = Dfs(depth + 1, to, blank, bound);
            board_[to] = tile;
            board_[blank] = 0;
            if (r < 0) return -1;
            if (r < best) best = r;
        }
        return best;
    }

    int board_[9] = {};
};

}  // namespace

bool isValid(const Position& position) {
    const int n = SideOf(position);
    if (n == 0) return false;
    std::array<bool, 16> seen{};
    for (const int v : position) {
        if (v < 0 || v >= n * n || seen[static_cast<size_t>(v)]) return false;
        seen[static_cast<size_t>(v)] = true;
    }
    return true;
}

bool isSolvable(const Position& position) {
    return isValid(position) && ParityEven(position, SideOf(position));
}

Answer solve(const Position& position, const std::atomic<bool>* cancel, SearchStats* stats) {
    Answer answer;
    SearchStats local;
    if (!isValid(position)) {
        answer.outcome = Outcome::kInvalid;
    } else if (!ParityEven(position, SideOf(position))) {
        answer.outcome = Outcome::kUnsolvable;
    } else if (IsGoal(position)) {
        answer.outcome = Outcome::kSolved;  // no tables needed to say so
    } else if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) {
        answer.outcome = Outcome::kCancelled;  // nor to give up
    } else if (position.size() == 9) {
        Search3 search(position, cancel);
        answer.outcome = search.Run(answer.tiles, local.nodes);
    } else {
        Search4 search(GetTables(), position, cancel);
        answer.outcome = search.Run(answer.tiles, local.nodes);
    }
    if (answer.outcome != Outcome::kSolved) answer.tiles.clear();
    if (stats != nullptr) *stats = local;
    return answer;
}

Answer solve(const Position& position, const std::atomic<bool>* cancel) {
    return solve(position, cancel, nullptr);
}

bool prepareSlice(int milliseconds) {
    const std::chrono::steady_clock::duration budget = std::chrono::milliseconds(milliseconds);
    return GetPreparation().Work(&budget);
}

void prepare() {
    GetTables();
}

TableInfo tableInfo() {
    const Tables& t = GetTables();
    TableInfo info;
    info.build_seconds = t.build_seconds;
    for (const auto& table : t.pdb) info.bytes += table.size();
    return info;
}

}  // namespace optimal
