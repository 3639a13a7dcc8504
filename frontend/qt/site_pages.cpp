#include "frontend/qt/site_pages.h"

#include <QImage>
#include <QPainter>

namespace site_pages {

QImage drawBoard(const std::string& position, const QImage& picture) {
    const int side = 3 * kTile + 4 * kGap;
    const qreal ratio = picture.devicePixelRatio() > 0 ? picture.devicePixelRatio() : 1.0;
    QImage board(qRound(side * ratio), qRound(side * ratio), QImage::Format_RGB32);
    board.setDevicePixelRatio(ratio);
    board.fill(QColor(QRgb(maker_site::page_style::kBoardFrame)));
    QPainter p(&board);
    for (int cell = 0; cell < 9 && cell < static_cast<int>(position.size()); ++cell) {
        const QRectF target(kGap + (cell % 3) * (kTile + kGap), kGap + (cell / 3) * (kTile + kGap),
                            kTile, kTile);
        const char c = position[cell];
        if (c < '1' || c > '8') {
            p.fillRect(target, QColor(QRgb(maker_site::page_style::kBlank)));  // the blank
            continue;
        }
        const int t = c - '1';
        const QRectF source((t % 3) * kTile * ratio, (t / 3) * kTile * ratio, kTile * ratio,
                            kTile * ratio);
        p.drawImage(target, picture, source);
    }
    return board;
}

PageView::Rendered render(const QString& address, const PictureSource& pictures) {
    const maker_site::Page page = maker_site::parse(address.toStdString());
    PageView::Rendered out;
    if (page.kind == maker_site::Page::kBoard) out.image = drawBoard(page.position, pictures(page));
    out.html = QString::fromStdString(maker_site::html(page, PageView::kImageName));
    return out;
}

}  // namespace site_pages
