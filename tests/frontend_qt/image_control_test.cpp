// Clicks on the two clickable controls, and the image control's stretched picture.
#include "frontend/qt/image_control.h"
#include "frontend/qt/picture_box.h"

#include <QImage>
#include <QPixmap>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <vector>

namespace {

struct MouseStep {
    enum Action { kPress, kRelease } action;
    Qt::MouseButton button;
    QPoint pos;  // the controls are 30 x 20
};

struct ClickCase {
    const char* label;
    std::vector<MouseStep> steps;
    int clicks;
};

void PrintTo(const ClickCase& c, std::ostream* os) {
    *os << c.label;
}

constexpr QPoint kInside{10, 10}, kOutsideRight{45, 10}, kOutsideAbove{10, -3};
constexpr auto kPress = MouseStep::kPress;
constexpr auto kRelease = MouseStep::kRelease;

// Runs the mouse steps on `widget` and returns the indices its clicked signal carried.
template <class Widget>
std::vector<int> clicksOn(Widget& widget, const std::vector<MouseStep>& steps) {
    QSignalSpy spy(&widget, &Widget::clicked);
    for (const MouseStep& s : steps) {
        if (s.action == kPress) {
            QTest::mousePress(&widget, s.button, Qt::NoModifier, s.pos);
        } else {
            QTest::mouseRelease(&widget, s.button, Qt::NoModifier, s.pos);
        }
    }
    std::vector<int> indices;
    for (const QList<QVariant>& args : spy) indices.push_back(args.at(0).toInt());
    return indices;
}

class Clicks : public ::testing::TestWithParam<ClickCase> {};

TEST_P(Clicks, OnPictureBox) {
    PictureBox box(nullptr, 7);
    box.resize(30, 20);
    box.show();
    EXPECT_EQ(clicksOn(box, GetParam().steps), std::vector<int>(GetParam().clicks, 7));
}

TEST_P(Clicks, OnImageControl) {
    ImageControl image(nullptr, 12);
    image.resize(30, 20);
    image.show();
    EXPECT_EQ(clicksOn(image, GetParam().steps), std::vector<int>(GetParam().clicks, 12));
}

INSTANTIATE_TEST_SUITE_P(
    Mouse, Clicks,
    ::testing::Values(
        ClickCase{"LeftInside",
                  {{kPress, Qt::LeftButton, kInside}, {kRelease, Qt::LeftButton, kInside}},
                  1},
        ClickCase{"LeftOnTheBorder",
                  {{kPress, Qt::LeftButton, {0, 0}}, {kRelease, Qt::LeftButton, {29, 19}}},
                  1},
        ClickCase{"TwoClicks",
                  {{kPress, Qt::LeftButton, kInside},
                   {kRelease, Qt::LeftButton, kInside},
                   {kPress, Qt::LeftButton, {3, 4}},
                   {kRelease, Qt::LeftButton, {25, 15}}},
                  2},
        ClickCase{"ReleasedOutsideRight",
                  {{kPress, Qt::LeftButton, kInside}, {kRelease, Qt::LeftButton, kOutsideRight}},
                  0},
        ClickCase{"ReleasedOutsideAbove",
                  {{kPress, Qt::LeftButton, kInside}, {kRelease, Qt::LeftButton, kOutsideAbove}},
                  0},
        ClickCase{"RightButton",
                  {{kPress, Qt::RightButton, kInside}, {kRelease, Qt::RightButton, kInside}},
                  0},
        ClickCase{"MiddleButton",
                  {{kPress, Qt::MiddleButton, kInside}, {kRelease, Qt::MiddleButton, kInside}},
                  0},
        ClickCase{"ReleaseWithoutPress", {{kRelease, Qt::LeftButton, kInside}}, 0},
        ClickCase{"PressWithoutRelease", {{kPress, Qt::LeftButton, kInside}}, 0},
        ClickCase{"OutsideReleaseDoesNotCarryOver",
                  {{kPress, Qt::LeftButton, kInside},
                   {kRelease, Qt::LeftButton, kOutsideRight},
                   {kRelease, Qt::LeftButton, kInside}},
                  0}));

QImage filled(int w, int h, const QColor& left, const QColor& right) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) img.setPixelColor(x, y, x < w / 2 ? left : right);
    }
    return img;
}

TEST(ImageControl, StretchedPictureFillsTheControl) {
    ImageControl image;
    image.resize(40, 20);
    image.setStretchedPicture(filled(4, 2, Qt::red, Qt::blue));
    const QImage shown = image.pixmap().toImage();
    ASSERT_EQ(shown.size(), QSize(40, 20));
    // Far from the seam the two halves keep their own colour.
    for (const int y : {0, 10, 19}) {
        EXPECT_EQ(shown.pixelColor(0, y).rgb(), QColor(Qt::red).rgb()) << y;
        EXPECT_EQ(shown.pixelColor(10, y).rgb(), QColor(Qt::red).rgb()) << y;
        EXPECT_EQ(shown.pixelColor(29, y).rgb(), QColor(Qt::blue).rgb()) << y;
        EXPECT_EQ(shown.pixelColor(39, y).rgb(), QColor(Qt::blue).rgb()) << y;
    }
}

TEST(ImageControl, StretchedPictureAlsoShrinks) {
    ImageControl image;
    image.resize(10, 6);
    image.setStretchedPicture(filled(100, 60, Qt::green, Qt::green));
    const QImage shown = image.pixmap().toImage();
    ASSERT_EQ(shown.size(), QSize(10, 6));
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 10; ++x) {
            EXPECT_EQ(shown.pixelColor(x, y).rgb(), QColor(Qt::green).rgb()) << x << "," << y;
        }
    }
}

}  // namespace
