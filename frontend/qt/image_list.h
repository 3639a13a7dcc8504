#pragma once

#include <QImage>

// The five built-in pictures, 220 x 220 device-independent pixels each, addressed from 1:
// 1 the numbered 3 x 3 picture, 2 to 4 photographs, 5 the numbered 4 x 4 picture.
class ImageList {
  public:
    static constexpr int kCount = 5;
    static constexpr int kSize = 220;

    // The picture at `ratio` device pixels per pixel: the high-resolution twin above 1.
    explicit ImageList(qreal ratio = 1.0);

    // Picture i (1..5); any other number gives picture 1, so a bad choice still shows a board.
    const QImage& ListImage(int i) const;

  private:
    QImage images_[kCount];
};
