#include "frontend/qt/image_list.h"

#include <QString>

ImageList::ImageList(qreal ratio) {
    const bool high = ratio > 1.0;
    for (int i = 0; i < kCount; ++i) {
        const QString base = QString(":/pictures/picture%1").arg(i + 1);
        QImage image(base + (high ? "@2x.png" : ".png"));
        image = image.convertToFormat(QImage::Format_RGB32);
        image.setDevicePixelRatio(high ? 2.0 : 1.0);
        images_[i] = image;
    }
}

const QImage& ImageList::ListImage(int i) const {
    return images_[(i >= 1 && i <= kCount) ? i - 1 : 0];
}
