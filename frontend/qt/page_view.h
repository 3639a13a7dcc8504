#pragma once

#include <QImage>
#include <QString>
#include <QTextBrowser>

#include <functional>

// Stands in for a web view: Navigate records the address and shows the page its renderer makes
// for it. Nothing is fetched from the network.
class PageView : public QTextBrowser {
    Q_OBJECT

  public:
    struct Rendered {
        QString html;
        QImage image;  // available to the page as "page:image"
    };
    using Renderer = std::function<Rendered(const QString& address)>;

    static constexpr const char* kImageName = "page:image";

    explicit PageView(QWidget* parent = nullptr);

    void setRenderer(Renderer renderer) { renderer_ = std::move(renderer); }
    void Navigate(const QString& address);

    // The address last navigated to.
    const QString& LocationURL() const { return location_; }
    // The image shown on the current page.
    const QImage& pageImage() const { return image_; }

  protected:
    QVariant loadResource(int type, const QUrl& name) override;

  private:
    Renderer renderer_;
    QString location_;
    QImage image_;
};
