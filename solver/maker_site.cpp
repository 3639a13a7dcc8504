#include "solver/maker_site.h"

#include <algorithm>

namespace maker_site {

namespace {

const std::string kBoardPath = "/soft/tessle.asp";
const std::string kNoSolutionPath = "/soft/tessle2.asp";

bool startsWith(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

// Plain decimal without sign or leading zeros, small enough for a step or picture number.
bool parseNumber(const std::string& text, int& value) {
    if (text.empty() || text.size() > 5) return false;
    if (text.size() > 1 && text[0] == '0') return false;
    if (!std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    value = std::stoi(text);
    return true;
}

bool isPosition(const std::string& s) {
    if (s.size() != 9) return false;
    std::string sorted = s;
    std::sort(sorted.begin(), sorted.end());
    return sorted == "012345678";
}

Page error(const std::string& reason) {
    Page page;
    page.kind = Page::kError;
    page.reason = reason;
    return page;
}

std::string escape(const std::string& s) {
    std::string out;
    for (const char c : s) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
                break;
        }
    }
    return out;
}

std::string css(std::uint32_t rgb) {
    static const char* const kHex = "0123456789ABCDEF";
    std::string out = "#";
    for (int shift = 20; shift >= 0; shift -= 4) out += kHex[(rgb >> shift) & 0xF];
    return out;
}

std::string style() {
    using namespace page_style;
    return "<style>body { background-color: " + css(kBackground) + "; color: " + css(kText) +
           "; }h1 { color: " + css(kHeading) +
           "; font-size: 15pt; margin-bottom: 2px; }p.note { color: " + css(kNote) +
           "; font-size: 9pt; }td.board { background-color: " + css(kBlank) +
           "; border: 1px solid " + css(kBoardFrame) + "; padding: 8px; }</style>";
}

std::string frame(const std::string& body) {
    return std::string("<html><head><meta charset=\"utf-8\">") + style() + "</head><body>" + body +
           "</body></html>";
}

}  // namespace

std::string loadAddress(const std::string& state) {
    return std::string(kBase) + kBoardPath + "?Step=0&Map=" + state;
}

std::string stepAddress(int step, const std::string& position, int picture) {
    return std::string(kBase) + kBoardPath + "?Step=" + std::to_string(step) + "&map=" + position +
           "IPic=" + std::to_string(picture);
}

std::string noSolutionAddress() {
    return std::string(kBase) + kNoSolutionPath;
}

Page parse(const std::string& address) {
    if (!startsWith(address, kBase)) return error("not an address of this site");
    const std::string rest = address.substr(std::string(kBase).size());
    if (rest == kNoSolutionPath) {
        Page page;
        page.kind = Page::kNoSolution;
        return page;
    }
    const std::string stepKey = kBoardPath + "?Step=";
    if (!startsWith(rest, stepKey)) return error("unknown page");
    const std::string query = rest.substr(stepKey.size());
    const std::size_t amp = query.find('&');
    if (amp == std::string::npos) return error("no position given");

    Page page;
    page.kind = Page::kBoard;
    if (!parseNumber(query.substr(0, amp), page.step)) return error("bad step number");
    const std::string tail = query.substr(amp + 1);
    std::string position;
    if (startsWith(tail, "Map=")) {
        // The load address is always that of the start; it carries no picture.
        if (page.step != 0) return error("the start page is step 0");
        position = tail.substr(4);
    } else if (startsWith(tail, "map=")) {
        const std::size_t ipic = tail.find("IPic=", 4);
        if (ipic == std::string::npos) return error("no picture given");
        position = tail.substr(4, ipic - 4);
        if (!parseNumber(tail.substr(ipic + 5), page.picture)) return error("bad picture number");
        // Picture 5 is the numbered picture of the big board; on this board it is picture 1.
        if (page.picture == 5) page.picture = 1;
        if (page.picture < 1 || page.picture > 4) return error("bad picture number");
        page.namesPicture = true;
    } else {
        return error("no position given");
    }
    if (!isPosition(position)) return error("not a position of the 3 X 3 board");
    page.position = position;
    return page;
}

PageText text(const Page& page) {
    switch (page.kind) {
        case Page::kBoard:
            return {
                page.step == 0 ? std::string("开始局面") : "第" + std::to_string(page.step) + "步",
                {},
                "局面 " + page.position};
        case Page::kNoSolution:
            return {
                "问题无解", {"这个局面无论怎样移动都拼不回原图。"}, "换一局再试试吧：开局(N)。"};
        case Page::kError:
        default:
            return {"无法显示此页", {}, page.reason};
    }
}

std::string html(const Page& page, const std::string& boardImage) {
    const PageText words = text(page);
    std::string body = "<h1>" + escape(words.heading) + "</h1>";
    if (page.kind == Page::kBoard) {
        body += "<table cellspacing=\"0\"><tr><td class=\"board\"><img src=\"" +
                escape(boardImage) + "\"></td></tr></table>";
    }
    for (const std::string& paragraph : words.paragraphs)
        body += "<p>" + escape(paragraph) + "</p>";
    return frame(body + "<p class=\"note\">" + escape(words.note) + "</p>");
}

std::array<BoardCell, 9> boardCells(const std::string& position, int tile) {
    std::array<BoardCell, 9> cells{};
    for (int cell = 0; cell < 9; ++cell) {
        BoardCell& c = cells[static_cast<std::size_t>(cell)];
        c.x = page_style::kGap + (cell % 3) * (tile + page_style::kGap);
        c.y = page_style::kGap + (cell / 3) * (tile + page_style::kGap);
        c.size = tile;
        const char shown = cell < static_cast<int>(position.size()) ? position[cell] : '0';
        c.blank = shown < '1' || shown > '8';
        // Tile t is cut where the game cuts it: row t div 3, column t mod 3.
        const int t = c.blank ? 0 : shown - '1';
        c.sx = c.blank ? 0 : (t % 3) * tile;
        c.sy = c.blank ? 0 : (t / 3) * tile;
    }
    return cells;
}

}  // namespace maker_site
