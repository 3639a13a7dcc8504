#include "frontend/qt/page_view.h"

#include <QTextDocument>
#include <QUrl>

PageView::PageView(QWidget* parent) : QTextBrowser(parent) {
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setReadOnly(true);
}

void PageView::Navigate(const QString& address) {
    location_ = address;
    Rendered page = renderer_ ? renderer_(address) : Rendered{};
    image_ = page.image;
    setHtml(page.html);
}

// Pages may show only their own image: nothing is loaded from outside.
QVariant PageView::loadResource(int type, const QUrl& name) {
    if (type == QTextDocument::ImageResource && name == QUrl(kImageName) && !image_.isNull()) {
        return image_;
    }
    return QVariant();
}
