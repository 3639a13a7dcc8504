#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The pages of the maker's site that the step viewer points its page view at. The addresses are
// built exactly as the site expects them (note "Map" on load, "map" elsewhere, and "IPic="
// straight after the position); the pages themselves are rendered inside the program.
namespace maker_site {

inline constexpr const char* kBase = "https://tessle.korvanel.example";

// "/soft/tessle.asp?Step=0&Map=" + state
std::string loadAddress(const std::string& state);
// "/soft/tessle.asp?Step=" + step + "&map=" + position + "IPic=" + picture
std::string stepAddress(int step, const std::string& position, int picture);
// "/soft/tessle2.asp"
std::string noSolutionAddress();

// How a page looks, for every front-end that draws one: colours as 0xRRGGBB, sizes in 96-dpi
// pixels. A board tile on the page is as large as a 3 x 3 tile surface's inside.
namespace page_style {
constexpr std::uint32_t kBackground = 0xF4F7FF;
constexpr std::uint32_t kText = 0x1F2A44;
constexpr std::uint32_t kHeading = 0x1F3FBF;
constexpr std::uint32_t kNote = 0x51607F;
constexpr std::uint32_t kBoardFrame = 0x9DB2E0;
constexpr std::uint32_t kBlank = 0xFFFFFF;
constexpr int kTile = 69;
constexpr int kGap = 3;
}  // namespace page_style

// One cell of a page's board as every front-end draws it, in 96-dpi pixels: its square (from the
// board's top-left corner, inside the board's frame colour) and what it shows, the square of the
// picture at (sx, sy) that the game cuts for the tile standing there, or the blank.
struct BoardCell {
    int x, y, size;
    bool blank;
    int sx, sy;
};
// The side of the whole board, frame included, for tiles `tile` pixels a side.
constexpr int boardSide(int tile = page_style::kTile) {
    return 3 * tile + 4 * page_style::kGap;
}
// The nine cells of the board of `position` ('1'..'8' the tiles, anything else the blank).
std::array<BoardCell, 9> boardCells(const std::string& position, int tile = page_style::kTile);

struct Page {
    enum Kind { kBoard, kNoSolution, kError };
    Kind kind = kError;
    int step = 0;
    std::string position;       // nine characters, a permutation of "012345678"
    int picture = 1;            // 1..4; absent in the address means 1
    bool namesPicture = false;  // the address carries "IPic=" (the start page does not)
    std::string reason;         // why an address was refused
};

// Strict: anything but the three address forms above, with a valid position and numbers,
// gives an error page.
Page parse(const std::string& address);

// The words on a page: a heading, paragraphs, and a small note at the end (under the board on a
// board page). The HTML page and the pages painted by the front-ends all take them from here.
struct PageText {
    std::string heading;
    std::vector<std::string> paragraphs;
    std::string note;
};
PageText text(const Page& page);

// The page as HTML; `boardImage` names the image of the board drawn for it.
std::string html(const Page& page, const std::string& boardImage);

}  // namespace maker_site
