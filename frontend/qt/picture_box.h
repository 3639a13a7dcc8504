#pragma once

#include "lcd/drawing_surface.h"

#include <QColor>
#include <QFrame>
#include <QImage>

// The classic picture box: a sunken 2-pixel border around a persistent backing image that
// keeps what is drawn until the next clear, survives being covered and can be read back.
class PictureBox : public QFrame, public DrawingSurface {
    Q_OBJECT

  public:
    static constexpr int kBorder = 2;

    explicit PictureBox(QWidget* parent = nullptr, int index = 0);

    int index() const { return index_; }

    // Inner drawable size in device-independent pixels.
    int innerWidth() const override;
    int innerHeight() const override;

    void clear() override;
    void setBackColor(OleColor color) override;
    void setForeColor(OleColor color) override;
    void line(int x1, int y1, int x2, int y2) override;
    void box(int x1, int y1, int x2, int y2) override;

    // Plain copy of the w x h region of `picture` at (sx, sy) onto the origin. Offsets are in
    // device-independent pixels, also for a high-resolution picture.
    void paintPicture(const QImage& picture, int sx, int sy, int w, int h);

    // Replaces everything shown; a null image leaves only the background colour.
    void setPicture(const QImage& picture);
    // What the surface shows now, in a form another surface can be made to show.
    QImage image() const { return backing_; }

    QColor backColor() const { return back_; }

  signals:
    void clicked(int index);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void ensureBacking();

    int index_;
    QImage backing_;
    QColor back_;
    QColor fore_{Qt::black};
    bool pressed_ = false;
};
