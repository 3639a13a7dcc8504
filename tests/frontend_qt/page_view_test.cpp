#include "frontend/qt/page_view.h"

#include <QTextDocument>
#include <QUrl>

#include <gtest/gtest.h>

#include <vector>

namespace {

// Lets the test ask for resources the way the document does.
class OpenPageView : public PageView {
  public:
    using PageView::loadResource;
};

QImage solid(const QColor& c) {
    QImage img(6, 4, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

PageView::Rendered page(const QString& text, const QImage& image = QImage()) {
    return {"<html><body><p>" + text + "</p><img src=\"page:image\"></body></html>", image};
}

TEST(PageView, NavigateRecordsTheAddressAndShowsTheRenderedPage) {
    OpenPageView view;
    std::vector<QString> asked;
    view.setRenderer([&](const QString& address) {
        asked.push_back(address);
        return page(address == "https://example.org/a" ? "Page A" : "Other", solid(Qt::red));
    });
    view.Navigate("https://example.org/a");
    EXPECT_EQ(view.LocationURL(), "https://example.org/a");
    EXPECT_TRUE(view.toPlainText().contains("Page A"));
    EXPECT_EQ(view.pageImage(), solid(Qt::red));

    view.Navigate("about:blank");
    EXPECT_EQ(view.LocationURL(), "about:blank");
    EXPECT_FALSE(view.toPlainText().contains("Page A"));
    EXPECT_EQ(asked, (std::vector<QString>{"https://example.org/a", "about:blank"}));
}

TEST(PageView, WithoutRendererThePageIsEmpty) {
    OpenPageView view;
    view.setHtml("<p>old</p>");
    view.Navigate("https://example.org/");
    EXPECT_EQ(view.LocationURL(), "https://example.org/");
    EXPECT_TRUE(view.toPlainText().trimmed().isEmpty());
    EXPECT_TRUE(view.pageImage().isNull());
}

TEST(PageView, ServesOnlyItsOwnImage) {
    OpenPageView view;
    view.setRenderer([](const QString&) { return page("x", solid(Qt::blue)); });
    view.Navigate("page");
    const QVariant own = view.loadResource(QTextDocument::ImageResource, QUrl("page:image"));
    ASSERT_TRUE(own.canConvert<QImage>());
    EXPECT_EQ(own.value<QImage>(), solid(Qt::blue));

    for (const char* other :
         {"page:other", "https://example.org/logo.png", "file:///etc/hostname", "logo.png", ""}) {
        EXPECT_FALSE(view.loadResource(QTextDocument::ImageResource, QUrl(other)).isValid())
            << other;
    }
    EXPECT_FALSE(
        view.loadResource(QTextDocument::StyleSheetResource, QUrl("page:image")).isValid());
    EXPECT_FALSE(view.loadResource(QTextDocument::HtmlResource, QUrl("page:image")).isValid());
}

TEST(PageView, PageWithoutImageServesNone) {
    OpenPageView view;
    bool withImage = true;
    view.setRenderer(
        [&](const QString&) { return withImage ? page("x", solid(Qt::blue)) : page("y"); });
    view.Navigate("first");
    withImage = false;
    view.Navigate("second");
    EXPECT_FALSE(view.loadResource(QTextDocument::ImageResource, QUrl("page:image")).isValid());
}

TEST(PageView, EachPageShowsItsOwnImage) {
    PageView view;
    QColor colour = Qt::red;
    view.setRenderer([&](const QString&) { return page("p", solid(colour)); });
    view.Navigate("one");
    const QVariant first =
        view.document()->resource(QTextDocument::ImageResource, QUrl("page:image"));
    EXPECT_EQ(first.value<QImage>(), solid(Qt::red));

    colour = Qt::green;
    view.Navigate("two");
    const QVariant second =
        view.document()->resource(QTextDocument::ImageResource, QUrl("page:image"));
    EXPECT_EQ(second.value<QImage>(), solid(Qt::green)) << "no stale image from the page before";
}

}  // namespace
