// The solver's pages as the Qt page view draws them: the board cut from the picture, the blank
// white, and no board on pages that have none.
#include "frontend/qt/site_pages.h"
#include "frontend/qt/image_list.h"
#include "frontend/qt/page_view.h"
#include "qt_test_support.h"
#include "solver/maker_site.h"

#include <gtest/gtest.h>

namespace {

// The cell of a rendered board page, where the page draws it.
QImage pageCell(const QImage& page, int cell) {
    const int step = maker_site::page_style::kTile + maker_site::page_style::kGap;
    return page.copy(maker_site::page_style::kGap + (cell % 3) * step,
                     maker_site::page_style::kGap + (cell / 3) * step,
                     maker_site::page_style::kTile, maker_site::page_style::kTile);
}

struct PageCase {
    std::string position;
    int picture;
};

class Pages : public ::testing::TestWithParam<PageCase> {
  protected:
    Pages() {
        view.setRenderer([this](const QString& a) {
            return site_pages::render(a, [this](const maker_site::Page& page) -> const QImage& {
                return list.ListImage(page.picture);
            });
        });
    }
    ImageList list{1.0};
    PageView view;
};

TEST_P(Pages, ShowTheBoardOfThePositionCutFromThePicture) {
    const auto& c = GetParam();
    view.Navigate(QString::fromStdString(maker_site::stepAddress(4, c.position, c.picture)));
    const QImage page = view.pageImage();
    ASSERT_FALSE(page.isNull());
    const QImage& picture = list.ListImage(c.picture);
    for (int cell = 0; cell < 9; ++cell) {
        const char ch = c.position[cell];
        QImage want;
        if (ch == '0') {
            want = QImage(maker_site::page_style::kTile, maker_site::page_style::kTile,
                          QImage::Format_RGB32);
            want.fill(Qt::white);
        } else {
            const int t = ch - '1';
            want = picture.copy((t % 3) * 69, (t / 3) * 69, 69, 69);
        }
        EXPECT_TRUE(sameImage(pageCell(page, cell), want)) << c.position << " cell " << cell;
    }
    EXPECT_TRUE(view.toPlainText().contains(QStringLiteral("第4步")));
}

INSTANTIATE_TEST_SUITE_P(Positions, Pages,
                         ::testing::Values(PageCase{"023156478", 1}, PageCase{"867254301", 2},
                                           PageCase{"123456780", 4}),
                         [](const auto& info) { return "At" + info.param.position; });

TEST_F(Pages, MalformedAndNoSolutionPagesShowNoBoard) {
    view.Navigate(QString::fromStdString(maker_site::noSolutionAddress()));
    EXPECT_TRUE(view.pageImage().isNull());
    EXPECT_TRUE(view.toPlainText().contains(QStringLiteral("问题无解")));
    const QString bad = "https://tessle.korvanel.example/soft/tessle.asp?Step=0&Map=99";
    view.Navigate(bad);
    EXPECT_TRUE(view.pageImage().isNull());
    EXPECT_TRUE(view.toPlainText().contains(QStringLiteral("无法显示此页")));
    EXPECT_EQ(view.LocationURL(), bad);
}

}  // namespace
