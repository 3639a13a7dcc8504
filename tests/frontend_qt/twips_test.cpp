#include "frontend/qt/twips.h"

#include <gtest/gtest.h>

namespace {

struct TwipsCase {
    int twips;
    int pixels;
};

class ToPx : public ::testing::TestWithParam<TwipsCase> {};

TEST_P(ToPx, RoundsToTheNearestPixel) {
    EXPECT_EQ(twips::toPx(GetParam().twips), GetParam().pixels) << GetParam().twips;
}

INSTANTIATE_TEST_SUITE_P(FormGeometry, ToPx,
                         ::testing::Values(TwipsCase{435, 29}, TwipsCase{1100, 73},
                                           TwipsCase{825, 55}, TwipsCase{815, 54},
                                           TwipsCase{1627, 108}, TwipsCase{2435, 162},
                                           TwipsCase{6000, 400}, TwipsCase{3345, 223},
                                           TwipsCase{80, 5}, TwipsCase{485, 32}));

// Either side of half a pixel (7.5 twips), and the same for negative positions.
INSTANTIATE_TEST_SUITE_P(Boundaries, ToPx,
                         ::testing::Values(TwipsCase{0, 0}, TwipsCase{7, 0}, TwipsCase{8, 1},
                                           TwipsCase{15, 1}, TwipsCase{22, 1}, TwipsCase{23, 2},
                                           TwipsCase{-7, 0}, TwipsCase{-8, -1}, TwipsCase{-22, -1},
                                           TwipsCase{-23, -2}));

// Layout constants are computed at compile time.
static_assert(twips::toPx(1440) == 96);

}  // namespace
