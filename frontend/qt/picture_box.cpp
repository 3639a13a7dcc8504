#include "frontend/qt/picture_box.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

QColor fromOle(OleColor c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

}  // namespace

PictureBox::PictureBox(QWidget* parent, int index)
    : QFrame(parent), index_(index), back_(palette().color(QPalette::Base)) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(kBorder);
    setMidLineWidth(0);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

int PictureBox::innerWidth() const {
    return std::max(0, width() - 2 * kBorder);
}
int PictureBox::innerHeight() const {
    return std::max(0, height() - 2 * kBorder);
}

void PictureBox::ensureBacking() {
    const qreal ratio = devicePixelRatioF();
    const QSize want(qRound(innerWidth() * ratio), qRound(innerHeight() * ratio));
    if (backing_.size() == want && qFuzzyCompare(backing_.devicePixelRatio(), ratio)) return;
    QImage next(want, QImage::Format_RGB32);
    next.setDevicePixelRatio(ratio);
    next.fill(back_);
    if (!backing_.isNull()) {
        QPainter p(&next);
        p.drawImage(QPointF(0, 0), backing_);
    }
    backing_ = next;
}

void PictureBox::clear() {
    ensureBacking();
    backing_.fill(back_);
    update();
}

void PictureBox::setBackColor(OleColor color) {
    back_ = fromOle(color);
}
void PictureBox::setForeColor(OleColor color) {
    fore_ = fromOle(color);
}

void PictureBox::line(int x1, int y1, int x2, int y2) {
    ensureBacking();
    QPainter p(&backing_);
    if (x1 == x2 || y1 == y2) {
        // Straight strokes as pixel rectangles stay crisp at any device pixel ratio.
        p.fillRect(QRect(QPoint(std::min(x1, x2), std::min(y1, y2)),
                         QPoint(std::max(x1, x2), std::max(y1, y2))),
                   fore_);
    } else {
        p.setPen(QPen(fore_, 1));
        p.drawLine(x1, y1, x2, y2);
    }
    update();
}

void PictureBox::box(int x1, int y1, int x2, int y2) {
    ensureBacking();
    QPainter p(&backing_);
    p.fillRect(QRect(QPoint(std::min(x1, x2), std::min(y1, y2)),
                     QPoint(std::max(x1, x2), std::max(y1, y2))),
               fore_);
    update();
}

void PictureBox::paintPicture(const QImage& picture, int sx, int sy, int w, int h) {
    ensureBacking();
    const qreal r = picture.devicePixelRatio();
    QPainter p(&backing_);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(QRectF(0, 0, w, h), picture, QRectF(sx * r, sy * r, w * r, h * r));
    update();
}

void PictureBox::setPicture(const QImage& picture) {
    ensureBacking();
    backing_.fill(back_);
    if (!picture.isNull()) {
        QPainter p(&backing_);
        p.drawImage(QPointF(0, 0), picture);
    }
    update();
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    ensureBacking();
    QPainter p(this);
    p.drawImage(QPointF(kBorder, kBorder), backing_);
}

void PictureBox::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    ensureBacking();
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
}

// A click is a press and release of the left button over the surface, as on the classic box.
void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    const bool click =
        pressed_ && event->button() == Qt::LeftButton && rect().contains(event->pos());
    pressed_ = false;
    if (click) emit clicked(index_);
}
