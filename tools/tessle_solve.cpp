// tessle-solve: solves each position read from stdin, one per line, and prints
//   <position> <found 0|1> <MapList size> <AnswerPath joined by commas | -> [<steps>...]
// where the steps are the positions from the start to the one a move before the goal.
//
// tessle-solve --moves: reads 3 x 3 or 4 x 4 positions as numbers (0 = blank) and prints a
// shortest solution of each as the tiles to click, or "unsolvable".

#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "solver/bfs_solver.h"
#include "solver/optimal_solver.h"

namespace {

constexpr size_t kMaxLine = 64;
constexpr size_t kMaxMovesLine = 256;

constexpr const char* kUsage =
    "Usage: tessle-solve [--moves]\n"
    "Solves the sliding-tile positions read from standard input, one a line.\n"
    "\n"
    "  --moves  each line is a 3 x 3 or 4 x 4 position: 9 or 16 numbers separated by spaces\n"
    "           or commas, the cells row by row from the top, 0 for the blank; solved is\n"
    "           1 2 ... 8 0 (or ... 15 0). Prints a shortest solution as\n"
    "           \"<length>: <tile> <tile> ...\", the tiles to slide into the blank in order,\n"
    "           or \"unsolvable\". A bad line is reported on standard error and skipped;\n"
    "           the exit status is then 1.\n"
    "  --help   prints this help.\n"
    "\n"
    "Without --moves, each line is a 3 x 3 position of nine digits (\"123456780\" is solved),\n"
    "searched breadth first as the game's solver window does, and printed as\n"
    "\"<position> <found 0|1> <positions stored> <answer path> <steps>...\".\n";

void AppendResult(const BfsSolver& solver, bool found, std::string& out) {
    out += found ? " 1 " : " 0 ";
    out += std::to_string(solver.MapList.size());
    out += ' ';
    if (!found) {
        out += '-';
        return;
    }
    const std::vector<int32_t>& path = solver.AnswerPath;
    for (size_t k = 0; k < path.size(); ++k) {
        if (k != 0) out += ',';
        out += std::to_string(path[k]);
    }
    for (auto it = path.rbegin(); it != path.rend(); ++it) {
        out += ' ';
        out += solver.MapList[static_cast<size_t>(*it)].Map;
    }
}

// Reads a line of --moves input into `position`; on bad input returns what is wrong.
std::string ParsePosition(const std::string& line, optimal::Position& position) {
    position.clear();
    std::vector<std::string> tokens;
    std::string token;
    for (const char c : line + ' ') {
        if (c == ' ' || c == '\t' || c == ',') {
            if (!token.empty()) tokens.push_back(token);
            token.clear();
        } else {
            token += c;
        }
    }
    for (const std::string& t : tokens) {
        const size_t digits = t[0] == '-' ? 1 : 0;
        if (t.size() == digits || t.find_first_not_of("0123456789", digits) != std::string::npos) {
            return "\"" + t + "\" is not a number";
        }
    }
    if (tokens.size() != 9 && tokens.size() != 16) {
        return std::to_string(tokens.size()) + (tokens.size() == 1 ? " number" : " numbers") +
               ", 9 or 16 expected";
    }
    const int cells = static_cast<int>(tokens.size());
    std::vector<bool> seen(tokens.size(), false);
    int repeated = -1;
    for (const std::string& t : tokens) {
        const bool small = t[0] != '-' && t.size() <= 2;
        const int v = small ? std::stoi(t) : -1;
        if (v < 0 || v >= cells) {
            return t + " is out of range: a " + (cells == 9 ? "3 x 3" : "4 x 4") +
                   " board takes 0 to " + std::to_string(cells - 1);
        }
        if (seen[static_cast<size_t>(v)] && repeated < 0) repeated = v;
        seen[static_cast<size_t>(v)] = true;
        position.push_back(v);
    }
    if (repeated >= 0) {
        int missing = 0;
        while (seen[static_cast<size_t>(missing)]) ++missing;
        return std::to_string(repeated) + " appears more than once and " + std::to_string(missing) +
               " is missing";
    }
    return {};
}

// The --moves mode: 0 when every line was read, 1 when any was bad.
int SolveMoves() {
    std::string line;
    std::string out;
    optimal::Position position;
    unsigned long line_number = 0;
    bool bad = false;
    while (std::getline(std::cin, line)) {
        ++line_number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos) continue;
        std::string error;
        if (line.size() > kMaxMovesLine) {
            error = "longer than " + std::to_string(kMaxMovesLine) + " characters";
        } else {
            error = ParsePosition(line, position);
        }
        if (!error.empty()) {
            std::cerr << "tessle-solve: line " << line_number << ": " << error << '\n';
            bad = true;
            continue;
        }
        const optimal::Answer answer = optimal::solve(position);
        if (answer.outcome == optimal::Outcome::kUnsolvable) {
            out = "unsolvable";
        } else {
            out = std::to_string(answer.tiles.size()) + ':';
            for (const int tile : answer.tiles) out += ' ' + std::to_string(tile);
        }
        out += '\n';
        std::cout.write(out.data(), static_cast<std::streamsize>(out.size()));
        std::cout.flush();  // one answer at a time for a program reading through a pipe
    }
    if (std::cin.bad()) {
        std::cerr << "tessle-solve: cannot read standard input\n";
        return 1;
    }
    return bad ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    bool moves = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::cout << kUsage;
            return 0;
        }
        if (std::strcmp(argv[i], "--moves") == 0) {
            moves = true;
        } else {
            std::cerr << "tessle-solve: unknown argument \"" << argv[i] << "\"\n" << kUsage;
            return 2;
        }
    }
    if (moves) {
        std::ios::sync_with_stdio(false);
        return SolveMoves();
    }
    std::ios::sync_with_stdio(false);
    BfsSolver solver;  // one solver for all lines, so its buffers are allocated once
    std::string line;
    std::string out;
    unsigned long line_number = 0;
    while (std::getline(std::cin, line)) {
        ++line_number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        if (line.size() > kMaxLine) {
            std::cerr << "tessle-solve: line " << line_number << ": longer than " << kMaxLine
                      << " characters, skipped\n";
            continue;
        }
        solver.Reset(line);
        const bool found = solver.FindAnswer();
        out = line;
        AppendResult(solver, found, out);
        out += '\n';
        std::cout.write(out.data(), static_cast<std::streamsize>(out.size()));
    }
    if (std::cin.bad()) {
        std::cerr << "tessle-solve: cannot read standard input\n";
        return 1;
    }
    return 0;
}
