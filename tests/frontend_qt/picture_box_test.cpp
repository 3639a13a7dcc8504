#include "frontend/qt/picture_box.h"

#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <ostream>
#include <string>
#include <utility>

namespace {

constexpr OleColor kOleRed = 0x0000FF;
constexpr OleColor kOleBlue = 0xFF0000;
constexpr OleColor kOleWhite = 0xFFFFFF;

std::string describe(const QColor& c) {
    return "(" + std::to_string(c.red()) + "," + std::to_string(c.green()) + "," +
           std::to_string(c.blue()) + ")";
}

// Checks every pixel of `image` against the colour `expected` gives for it.
::testing::AssertionResult pixelsMatch(const QImage& image,
                                       const std::function<QColor(int, int)>& expected) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor want = expected(x, y), got = image.pixelColor(x, y);
            if (got.rgb() != want.rgb()) {
                return ::testing::AssertionFailure()
                       << "pixel (" << x << "," << y << ") is " << describe(got) << ", want "
                       << describe(want);
            }
        }
    }
    return ::testing::AssertionSuccess();
}

bool inRect(int x, int y, int x1, int y1, int x2, int y2) {
    return x >= std::min(x1, x2) && x <= std::max(x1, x2) && y >= std::min(y1, y2) &&
           y <= std::max(y1, y2);
}

// A 20 x 20 inner surface, cleared to white, drawing in red.
class PictureBoxTest : public ::testing::Test {
  protected:
    void SetUp() override {
        box.resize(24, 24);
        box.setBackColor(kOleWhite);
        box.setForeColor(kOleRed);
        box.clear();
        ASSERT_EQ(box.image().size(), QSize(20, 20));
    }

    PictureBox box;
};

struct SizeCase {
    int outerW, outerH, innerW, innerH;
};

class InnerSize : public ::testing::TestWithParam<SizeCase> {};

TEST_P(InnerSize, IsTheOuterSizeLessTheTwoPixelBorder) {
    const auto& c = GetParam();
    PictureBox box;
    box.resize(c.outerW, c.outerH);
    EXPECT_EQ(box.innerWidth(), c.innerW);
    EXPECT_EQ(box.innerHeight(), c.innerH);
    box.clear();
    EXPECT_EQ(box.image().width(), c.innerW);
    EXPECT_EQ(box.image().height(), c.innerH);
}

INSTANTIATE_TEST_SUITE_P(Sizes, InnerSize,
                         ::testing::Values(SizeCase{50, 30, 46, 26}, SizeCase{29, 29, 25, 25},
                                           SizeCase{104, 5, 100, 1}));

TEST(InnerSize, NeverNegative) {
    PictureBox box;
    box.resize(3, 2);
    EXPECT_EQ(box.innerWidth(), 0);
    EXPECT_EQ(box.innerHeight(), 0);
}

struct ColourCase {
    OleColor ole;
    QColor rgb;
};

void PrintTo(const ColourCase& c, std::ostream* os) {
    *os << std::hex << c.ole << " -> " << describe(c.rgb);
}

class OleColours : public ::testing::TestWithParam<ColourCase> {};

TEST_P(OleColours, AreReadAsBlueGreenRed) {
    const auto& c = GetParam();
    PictureBox box;
    box.resize(10, 10);
    box.setBackColor(c.ole);
    box.clear();
    EXPECT_EQ(box.backColor().rgb(), c.rgb.rgb());
    EXPECT_TRUE(pixelsMatch(box.image(), [&](int, int) { return c.rgb; }));

    box.setBackColor(c.ole ^ 0xFFFFFF);
    box.clear();
    box.setForeColor(c.ole);
    box.box(2, 2, 3, 3);
    EXPECT_EQ(box.image().pixelColor(2, 2).rgb(), c.rgb.rgb());
}

INSTANTIATE_TEST_SUITE_P(Colours, OleColours,
                         ::testing::Values(ColourCase{0x0000FF, QColor(255, 0, 0)},
                                           ColourCase{0x00FF00, QColor(0, 255, 0)},
                                           ColourCase{0xFF0000, QColor(0, 0, 255)},
                                           ColourCase{0x123456, QColor(0x56, 0x34, 0x12)},
                                           ColourCase{0x000000, QColor(0, 0, 0)},
                                           ColourCase{0xFFFFFF, QColor(255, 255, 255)}));

struct StrokeCase {
    const char* label;
    int x1, y1, x2, y2;
};

void PrintTo(const StrokeCase& c, std::ostream* os) {
    *os << c.label;
}

class Strokes : public PictureBoxTest, public ::testing::WithParamInterface<StrokeCase> {};

TEST_P(Strokes, StraightLineSetsBothEndPointsAndNothingElse) {
    const auto& c = GetParam();
    box.line(c.x1, c.y1, c.x2, c.y2);
    EXPECT_TRUE(pixelsMatch(box.image(), [&](int x, int y) {
        return inRect(x, y, c.x1, c.y1, c.x2, c.y2) ? QColor(Qt::red) : QColor(Qt::white);
    }));
}

TEST_P(Strokes, BoxFillsTheRectangleWithBothCornersIncluded) {
    const auto& c = GetParam();
    box.box(c.x1, c.y1, c.x2, c.y2);
    EXPECT_TRUE(pixelsMatch(box.image(), [&](int x, int y) {
        return inRect(x, y, c.x1, c.y1, c.x2, c.y2) ? QColor(Qt::red) : QColor(Qt::white);
    }));
}

// Straight strokes only: a box with these corners is the same set of pixels.
INSTANTIATE_TEST_SUITE_P(Straight, Strokes,
                         ::testing::Values(StrokeCase{"Horizontal", 3, 4, 9, 4},
                                           StrokeCase{"HorizontalRightToLeft", 9, 4, 3, 4},
                                           StrokeCase{"Vertical", 5, 2, 5, 17},
                                           StrokeCase{"VerticalBottomUp", 5, 17, 5, 2},
                                           StrokeCase{"SinglePoint", 7, 7, 7, 7},
                                           StrokeCase{"AtTheEdges", 0, 19, 19, 19}));

TEST_F(PictureBoxTest, BoxWithCornersInEitherOrder) {
    for (const auto& [x1, y1, x2, y2] :
         {std::array<int, 4>{2, 3, 5, 7}, {5, 7, 2, 3}, {5, 3, 2, 7}, {2, 7, 5, 3}}) {
        box.clear();
        box.box(x1, y1, x2, y2);
        EXPECT_TRUE(pixelsMatch(box.image(),
                                [](int x, int y) {
                                    return inRect(x, y, 2, 3, 5, 7) ? QColor(Qt::red)
                                                                    : QColor(Qt::white);
                                }))
            << x1 << "," << y1 << " " << x2 << "," << y2;
    }
}

TEST_F(PictureBoxTest, SlantedLineSetsBothEndPoints) {
    for (const auto& [x1, y1, x2, y2] :
         {std::array<int, 4>{1, 1, 8, 8}, {8, 8, 1, 1}, {2, 15, 12, 3}, {0, 0, 19, 6}}) {
        box.clear();
        box.line(x1, y1, x2, y2);
        const QImage img = box.image();
        EXPECT_EQ(img.pixelColor(x1, y1).rgb(), QColor(Qt::red).rgb())
            << "start of " << x1 << "," << y1 << " " << x2 << "," << y2;
        EXPECT_EQ(img.pixelColor(x2, y2).rgb(), QColor(Qt::red).rgb())
            << "end of " << x1 << "," << y1 << " " << x2 << "," << y2;
        // A pixel well away from the line stays background.
        EXPECT_EQ(img.pixelColor(x2, y1).rgb(), QColor(Qt::white).rgb());
    }
}

TEST_F(PictureBoxTest, ClearUsesTheCurrentBackColour) {
    box.box(0, 0, 19, 19);
    box.setBackColor(kOleBlue);
    EXPECT_EQ(box.image().pixelColor(10, 10).rgb(), QColor(Qt::red).rgb())
        << "a new back colour shows only after clearing";
    box.clear();
    EXPECT_TRUE(pixelsMatch(box.image(), [](int, int) { return QColor(Qt::blue); }));
}

TEST_F(PictureBoxTest, ForeColourChangeKeepsEarlierStrokes) {
    box.line(1, 1, 5, 1);
    box.setForeColor(kOleBlue);
    box.line(1, 3, 5, 3);
    EXPECT_EQ(box.image().pixelColor(3, 1).rgb(), QColor(Qt::red).rgb());
    EXPECT_EQ(box.image().pixelColor(3, 3).rgb(), QColor(Qt::blue).rgb());
}

TEST_F(PictureBoxTest, DrawingShowsInsideTheBorderAndSurvivesRepaints) {
    box.box(0, 0, 1, 1);
    box.box(18, 18, 19, 19);
    const QImage before = box.image();
    box.show();
    const QImage shown = box.grab().toImage();
    box.repaint();
    box.hide();
    EXPECT_EQ(box.image(), before);

    ASSERT_EQ(shown.size(), QSize(24, 24));
    const int b = PictureBox::kBorder;
    for (const auto& [x, y] : {std::pair{0, 0}, {1, 1}, {18, 18}, {19, 19}}) {
        EXPECT_EQ(shown.pixelColor(b + x, b + y).rgb(), QColor(Qt::red).rgb()) << x << "," << y;
    }
    EXPECT_EQ(shown.pixelColor(b + 10, b + 10).rgb(), QColor(Qt::white).rgb());
}

TEST_F(PictureBoxTest, GrowingKeepsWhatWasDrawn) {
    box.box(1, 1, 3, 3);
    box.resize(34, 30);
    box.line(25, 20, 29, 20);
    const QImage img = box.image();
    ASSERT_EQ(img.size(), QSize(30, 26));
    EXPECT_TRUE(pixelsMatch(img, [](int x, int y) {
        return inRect(x, y, 1, 1, 3, 3) || inRect(x, y, 25, 20, 29, 20) ? QColor(Qt::red)
                                                                        : QColor(Qt::white);
    }));
}

// Stays a valid colour on pictures up to 25 x 21.
QColor gradient(int x, int y) {
    return QColor(10 * x, 12 * y, 200);
}

// A picture whose every logical pixel has its own colour, drawn at the given pixel ratio.
QImage gradientPicture(int w, int h, int ratio) {
    QImage pic(w * ratio, h * ratio, QImage::Format_RGB32);
    for (int y = 0; y < pic.height(); ++y) {
        for (int x = 0; x < pic.width(); ++x)
            pic.setPixelColor(x, y, gradient(x / ratio, y / ratio));
    }
    pic.setDevicePixelRatio(ratio);
    return pic;
}

class PaintPicture : public PictureBoxTest, public ::testing::WithParamInterface<int> {};

TEST_P(PaintPicture, CopiesTheRegionToTheOriginAndLeavesTheRest) {
    box.box(15, 15, 19, 19);
    box.paintPicture(gradientPicture(16, 12, GetParam()), 3, 2, 5, 4);
    EXPECT_TRUE(pixelsMatch(box.image(), [](int x, int y) {
        if (x < 5 && y < 4) return gradient(3 + x, 2 + y);
        return inRect(x, y, 15, 15, 19, 19) ? QColor(Qt::red) : QColor(Qt::white);
    }));
}

// Offsets and sizes are the same for a picture made for a high-resolution screen.
INSTANTIATE_TEST_SUITE_P(PixelRatios, PaintPicture, ::testing::Values(1, 2));

TEST_F(PictureBoxTest, SetPictureReplacesEverythingShown) {
    box.box(0, 0, 19, 19);
    box.setBackColor(kOleBlue);
    box.setPicture(gradientPicture(8, 6, 1));
    EXPECT_TRUE(pixelsMatch(box.image(), [](int x, int y) {
        return x < 8 && y < 6 ? gradient(x, y) : QColor(Qt::blue);
    }));
}

TEST_F(PictureBoxTest, SetPictureLargerThanTheBoxIsCut) {
    box.setPicture(gradientPicture(25, 22, 1));
    EXPECT_EQ(box.image().size(), QSize(20, 20));
    EXPECT_TRUE(pixelsMatch(box.image(), gradient));
}

TEST_F(PictureBoxTest, NullPictureLeavesOnlyTheBackground) {
    box.box(2, 2, 12, 12);
    box.setBackColor(kOleBlue);
    box.setPicture(QImage());
    EXPECT_TRUE(pixelsMatch(box.image(), [](int, int) { return QColor(Qt::blue); }));
}

TEST_F(PictureBoxTest, ImageCanBeShownOnAnotherBox) {
    box.box(2, 2, 5, 9);
    box.setForeColor(kOleBlue);
    box.line(0, 19, 19, 19);
    PictureBox other;
    other.resize(24, 24);
    other.setBackColor(0x00FF00);
    other.clear();
    other.setPicture(box.image());
    EXPECT_EQ(other.image(), box.image());
}

}  // namespace
