#pragma once

#include <QLabel>

// The classic image control: shows a picture, optionally stretched to its size, and reports a
// click with its index.
class ImageControl : public QLabel {
    Q_OBJECT

  public:
    explicit ImageControl(QWidget* parent = nullptr, int index = 0);

    int index() const { return index_; }
    // Stretched to the control's size, keeping the picture's own resolution for high-DPI.
    void setStretchedPicture(const QImage& picture);

  signals:
    void clicked(int index);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    int index_;
    bool pressed_ = false;
};
