// tessle-solve: solves each position read from stdin, one per line, and prints
//   <position> <found 0|1> <MapList size> <AnswerPath joined by commas | -> [<steps>...]
// where the steps are the positions from the start to the one a move before the goal.

#include <iostream>
#include <string>

#include "solver/bfs_solver.h"

namespace {

constexpr size_t kMaxLine = 64;

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

}  // namespace

int main() {
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
