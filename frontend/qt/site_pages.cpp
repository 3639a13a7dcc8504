#include "frontend/qt/site_pages.h"

#include <QImage>
#include <QPainter>

namespace site_pages {

QImage drawBoard(const std::string& position, const QImage& picture) {
    const int side = maker_site::boardSide();
    const qreal ratio = picture.devicePixelRatio() > 0 ? picture.devicePixelRatio() : 1.0;
    QImage board(qRound(side * ratio), qRound(side * ratio), QImage::Format_RGB32);
    board.setDevicePixelRatio(ratio);
    board.fill(QColor(QRgb(maker_site::page_style::kBoardFrame)));
    QPainter p(&board);
    for (const maker_site::BoardCell& cell : maker_site::boardCells(position)) {
        const QRectF target(cell.x, cell.y, cell.size, cell.size);
        if (cell.blank) {
            p.fillRect(target, QColor(QRgb(maker_site::page_style::kBlank)));
            continue;
        }
        p.drawImage(target, picture,
                    QRectF(cell.sx * ratio, cell.sy * ratio, cell.size * ratio, cell.size * ratio));
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
