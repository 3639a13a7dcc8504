#include "qt_test_support.h"

#include "settings/settings_store.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

void QtWindowTest::SetUp() {
    storeDir = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(storeDir->isValid());
    store::setDirectory(storeDir->path().toStdString());
    // A record an earlier test's failed save kept for later must not reach this one's store.
    store::setPendingDirectory(storeDir->path().toStdString() + "/pending");
}

std::unique_ptr<QtWindowTest::ScriptedWindow> QtWindowTest::window(board::Random random) {
    if (!random) random = [] { return 0.5f; };
    return std::make_unique<ScriptedWindow>(*this, random);
}

std::vector<std::string> QtWindowTest::prompts() const {
    std::vector<std::string> out;
    for (const RecordedBox& box : boxes) out.push_back(box.prompt);
    return out;
}

bool sameImage(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return false;
    return a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

void whenModalOpens(std::function<void(QWidget&)> inspect, int key) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, inspect, key] {
        QWidget* modalWidget = QApplication::activeModalWidget();
        if (!modalWidget) return;
        timer->stop();
        timer->deleteLater();
        inspect(*modalWidget);
        if (QApplication::activeModalWidget() == modalWidget)
            QTest::keyClick(modalWidget, static_cast<Qt::Key>(key));
    });
    timer->start();
}
