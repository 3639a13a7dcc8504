#include "lcd/cls_lcd.h"
#include "support/recording_surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <ostream>
#include <string>
#include <vector>

namespace {

using Op = RecordingSurface::Op;

// Segment geometry as data: each coordinate is base + a multiple of W, M or H.
struct Term {
    int off, w, m, h;
};
struct Stroke {
    Term x1, y1, x2, y2;
};

constexpr Term X(int off, int w = 0) {
    return {off, w, 0, 0};
}
constexpr Term Y(int off, int m = 0, int h = 0) {
    return {off, 0, m, h};
}

// Indexed by segment number 1..7 (index 0 unused).
const std::array<std::array<Stroke, 3>, 8> kSegmentStrokes = {{
    {},
    // 1 top
    {{{X(1), Y(0), X(-1, 1), Y(0)}, {X(2), Y(1), X(-2, 1), Y(1)}, {X(3), Y(2), X(-3, 1), Y(2)}}},
    // 2 upper right
    {{{X(-1, 1), Y(1), X(-1, 1), Y(-1, 1)},
      {X(-2, 1), Y(2), X(-2, 1), Y(0, 1)},
      {X(-3, 1), Y(3), X(-3, 1), Y(-1, 1)}}},
    // 3 lower right
    {{{X(-1, 1), Y(2, 1), X(-1, 1), Y(0, 0, 1)},
      {X(-2, 1), Y(1, 1), X(-2, 1), Y(-1, 0, 1)},
      {X(-3, 1), Y(2, 1), X(-3, 1), Y(-2, 0, 1)}}},
    // 4 bottom
    {{{X(3), Y(-2, 0, 1), X(-3, 1), Y(-2, 0, 1)},
      {X(2), Y(-1, 0, 1), X(-2, 1), Y(-1, 0, 1)},
      {X(1), Y(0, 0, 1), X(-1, 1), Y(0, 0, 1)}}},
    // 5 lower left
    {{{X(0), Y(2, 1), X(0), Y(0, 0, 1)},
      {X(1), Y(1, 1), X(1), Y(-1, 0, 1)},
      {X(2), Y(2, 1), X(2), Y(-2, 0, 1)}}},
    // 6 upper left
    {{{X(0), Y(1), X(0), Y(-1, 1)}, {X(1), Y(2), X(1), Y(0, 1)}, {X(2), Y(3), X(2), Y(-1, 1)}}},
    // 7 middle
    {{{X(3), Y(-1, 1), X(-3, 1), Y(-1, 1)},
      {X(2), Y(0, 1), X(-2, 1), Y(0, 1)},
      {X(3), Y(1, 1), X(-3, 1), Y(1, 1)}}},
}};

// Lit segments in drawing order, per digit.
const std::array<std::vector<int>, 10> kDigitSegments = {{
    {1, 2, 3, 4, 5, 6},
    {2, 3},
    {1, 2, 7, 5, 4},
    {1, 2, 7, 3, 4},
    {2, 3, 7, 6},
    {1, 6, 7, 3, 4},
    {1, 6, 7, 3, 4, 5},
    {1, 2, 3},
    {1, 2, 3, 4, 5, 6, 7},
    {1, 2, 3, 4, 6, 7},
}};

struct Cell {
    int x, y, w, h;
    int m() const { return h / 2; }
    int at(const Term& t, int base) const { return base + t.off + t.w * w + t.m * m() + t.h * h; }
};

std::vector<Op> segment(const Cell& c, int seg, OleColor color) {
    std::vector<Op> out;
    for (const Stroke& s : kSegmentStrokes[seg]) {
        out.push_back(
            {Op::kLine, c.at(s.x1, c.x), c.at(s.y1, c.y), c.at(s.x2, c.x), c.at(s.y2, c.y), color});
    }
    return out;
}

std::vector<Op> digit(const Cell& c, int d, OleColor color = 0) {
    std::vector<Op> out;
    for (const int seg : kDigitSegments[d]) {
        const auto strokes = segment(c, seg, color);
        out.insert(out.end(), strokes.begin(), strokes.end());
    }
    return out;
}

std::vector<Op> colon(const Cell& c, OleColor color = 0) {
    const int cx = c.x + c.w / 2, m = c.m();
    return {{Op::kBox, cx - 4, c.y + m - 6, cx, c.y + m - 3, color},
            {Op::kBox, cx - 4, c.y + m + 4, cx, c.y + m + 7, color}};
}

void append(std::vector<Op>& to, const std::vector<Op>& more) {
    to.insert(to.end(), more.begin(), more.end());
}

// Runs one Caption on a fresh display of the given inner height and returns the calls made.
std::vector<Op> draw(const std::string& text, int innerHeight = 25) {
    RecordingSurface surface(200, innerHeight);
    ClsLcd lcd;
    lcd.NewLCD(&surface);
    lcd.Caption(text);
    return surface.ops;
}

const Op kClear{Op::kClear, 0, 0, 0, 0, 0};

// Inner height 25 is the box the game uses: H 19, M 9, W 11, digit pitch 14.
Cell cellAt(int x) {
    return {x, 2, 11, 19};
}

struct MetricsCase {
    int innerHeight;
    int height;
    int width;
};

class Metrics : public ::testing::TestWithParam<MetricsCase> {};

TEST_P(Metrics, MeasuredFromTheInnerHeight) {
    const auto& c = GetParam();
    RecordingSurface surface(200, c.innerHeight);
    ClsLcd lcd;
    lcd.NewLCD(&surface);
    EXPECT_EQ(lcd.IntX(), 2);
    EXPECT_EQ(lcd.IntY(), 2);
    EXPECT_EQ(lcd.IntHeight(), c.height);
    EXPECT_EQ(lcd.IntWidth(), c.width);
    EXPECT_TRUE(surface.ops.empty()) << "measuring must not draw";
}

INSTANTIATE_TEST_SUITE_P(Heights, Metrics,
                         ::testing::Values(MetricsCase{25, 19, 11}, MetricsCase{26, 20, 12},
                                           MetricsCase{40, 34, 19}, MetricsCase{13, 7, 5},
                                           MetricsCase{7, 1, 2}, MetricsCase{6, 0, 2}));

TEST(Caption, EmptyTextOnlyClears) {
    EXPECT_EQ(draw(""), std::vector<Op>{kClear});
}

TEST(Caption, DigitOneIsExactlyTheTwoRightSegments) {
    const std::vector<Op> expected = {
        kClear,
        {Op::kLine, 12, 3, 12, 10, 0},
        {Op::kLine, 11, 4, 11, 11, 0},
        {Op::kLine, 10, 5, 10, 10, 0},
        {Op::kLine, 12, 13, 12, 21, 0},
        {Op::kLine, 11, 12, 11, 20, 0},
        {Op::kLine, 10, 13, 10, 19, 0},
    };
    EXPECT_EQ(draw("1"), expected);
}

TEST(Caption, EightIsZeroPlusTheMiddleBar) {
    const std::vector<Op> zero = draw("0");
    const std::vector<Op> eight = draw("8");
    const std::vector<Op> middle = {
        {Op::kLine, 5, 10, 10, 10, 0},
        {Op::kLine, 4, 11, 11, 11, 0},
        {Op::kLine, 5, 12, 10, 12, 0},
    };
    std::vector<Op> expected = zero;
    append(expected, middle);
    EXPECT_EQ(eight, expected);
    for (const Op& op : middle) {
        EXPECT_EQ(std::count(zero.begin(), zero.end(), op), 0) << op;
    }
}

TEST(Caption, ClockTextPlacesColonAndDigits) {
    std::vector<Op> expected = {kClear};
    append(expected, digit(cellAt(2), 1));
    append(expected, digit(cellAt(16), 2));
    append(expected, {{Op::kBox, 31, 5, 35, 8, 0}, {Op::kBox, 31, 15, 35, 18, 0}});
    append(expected, digit(cellAt(41), 0));
    append(expected, digit(cellAt(55), 5));
    EXPECT_EQ(draw("12:05"), expected);
}

TEST(Caption, DigitsFollowAtAPitchOfWidthPlusThree) {
    std::vector<Op> expected = {kClear};
    for (const int x : {2, 16, 30, 44}) append(expected, digit(cellAt(x), 8));
    EXPECT_EQ(draw("8888"), expected);
}

TEST(Caption, ColonAdvancesByTheDigitWidthOnly) {
    std::vector<Op> expected = {kClear};
    append(expected, colon(cellAt(2)));
    append(expected, colon(cellAt(13)));
    append(expected, digit(cellAt(24), 7));
    EXPECT_EQ(draw("::7"), expected);
}

struct DigitCase {
    int digit;
    int innerHeight;
};

class DigitSegments : public ::testing::TestWithParam<DigitCase> {};

TEST_P(DigitSegments, LitSegmentsInDrawingOrder) {
    const auto& c = GetParam();
    const int h = c.innerHeight - 6;
    const Cell first{2, 2, h / 2 + 2, h};
    const Cell second{2 + first.w + 3, 2, first.w, h};
    // Drawn twice, so the second cell also checks the pitch at this height.
    const std::string text(2, static_cast<char>('0' + c.digit));
    std::vector<Op> expected = {kClear};
    append(expected, digit(first, c.digit));
    append(expected, digit(second, c.digit));
    EXPECT_EQ(draw(text, c.innerHeight), expected);
}

std::vector<DigitCase> allDigits() {
    std::vector<DigitCase> cases;
    for (const int height : {25, 40, 31}) {
        for (int d = 0; d <= 9; ++d) cases.push_back({d, height});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(AllDigits, DigitSegments, ::testing::ValuesIn(allDigits()),
                         [](const ::testing::TestParamInfo<DigitCase>& info) {
                             return "d" + std::to_string(info.param.digit) + "_h" +
                                    std::to_string(info.param.innerHeight);
                         });

struct SameDrawingCase {
    const char* text;
    const char* drawnAs;
};

class SameDrawing : public ::testing::TestWithParam<SameDrawingCase> {};

TEST_P(SameDrawing, AsTheEquivalentDigits) {
    EXPECT_EQ(draw(GetParam().text), draw(GetParam().drawnAs));
}

INSTANTIATE_TEST_SUITE_P(
    NonDigits, SameDrawing,
    ::testing::Values(SameDrawingCase{"A", "0"}, SameDrawingCase{"-", "0"},
                      SameDrawingCase{" ", "0"}, SameDrawingCase{"1-2", "102"},
                      // One cell per character, however many bytes it takes in UTF-8.
                      SameDrawingCase{"\xC3\xA9", "0"},  // e acute, 2 bytes
                      SameDrawingCase{"1\xC3\xA9"
                                      "2",
                                      "102"},  // between digits
                      SameDrawingCase{"\xE2\x82\xAC"
                                      "5",
                                      "05"},                         // euro sign, 3 bytes
                      SameDrawingCase{"\xF0\x9F\x99\x82:", "0:"}));  // 4 bytes, then colon

TEST(Caption, EachAssignmentRedrawsFromTheStart) {
    RecordingSurface surface(200, 25);
    ClsLcd lcd;
    lcd.NewLCD(&surface);
    lcd.Caption("5");
    lcd.Caption("17");
    EXPECT_EQ(std::count_if(surface.ops.begin(), surface.ops.end(),
                            [](const Op& op) { return op.kind == Op::kClear; }),
              2);
    std::vector<Op> expected = digit(cellAt(2), 1);
    append(expected, digit(cellAt(16), 7));
    EXPECT_EQ(surface.shown(), expected);
    EXPECT_EQ(lcd.IntX(), 2);
}

TEST(Colours, ForeColourAppliesFromTheNextCaptionOn) {
    constexpr OleColor kRed = 0x0000FF, kBlue = 0xFF0000;
    RecordingSurface surface(200, 25);
    ClsLcd lcd;
    lcd.NewLCD(&surface);
    lcd.ForeColor(kRed);
    lcd.Caption("8");
    const std::vector<Op> firstDrawing = surface.ops;

    lcd.ForeColor(kBlue);
    lcd.BackColor(0x00FF00);
    EXPECT_EQ(surface.ops, firstDrawing) << "changing colours must not draw";
    EXPECT_EQ(surface.fore, kBlue);
    EXPECT_EQ(surface.back, 0x00FF00u);
    for (const Op& op : firstDrawing) {
        if (op.kind != Op::kClear) {
            EXPECT_EQ(op.color, kRed) << op;
        }
    }

    lcd.Caption("8");
    std::vector<Op> expected = digit(cellAt(2), 8, kBlue);
    EXPECT_EQ(surface.shown(), expected);
}

}  // namespace
