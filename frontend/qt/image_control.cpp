#include "frontend/qt/image_control.h"

#include <QMouseEvent>
#include <QPixmap>

ImageControl::ImageControl(QWidget* parent, int index) : QLabel(parent), index_(index) {}

void ImageControl::setStretchedPicture(const QImage& picture) {
    const qreal ratio = devicePixelRatioF();
    QImage scaled = picture.scaled(size() * ratio, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    scaled.setDevicePixelRatio(ratio);
    setPixmap(QPixmap::fromImage(scaled));
}

void ImageControl::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
}

void ImageControl::mouseReleaseEvent(QMouseEvent* event) {
    const bool click =
        pressed_ && event->button() == Qt::LeftButton && rect().contains(event->pos());
    pressed_ = false;
    if (click) emit clicked(index_);
}
