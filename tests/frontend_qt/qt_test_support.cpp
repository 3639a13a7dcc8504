#include "qt_test_support.h"

#include "frontend/qt/qt_seams.h"
#include "settings/settings_store.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

void QtWindowTest::SetUp() {
    storeDir = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(storeDir->isValid());
    store::setDirectory(storeDir->path().toStdString());
    store::setErrorHandler({});
    msgbox::setHandler([this](const std::string& prompt, int style, const std::string&) {
        syncViews();
        prompts.push_back(prompt);
        if ((style & 0x0F) != msgbox::kYesNo) return static_cast<int>(msgbox::kOk);
        if (answers.empty()) return static_cast<int>(msgbox::kNo);
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    });
    modal::setHandler([this](ModalWindow& window) {
        syncViews();
        const auto dialog = qt_front::dialogFor(window);
        ASSERT_TRUE(dialog);
        if (onDialog) onDialog(*dialog);
    });
    shell::setHandler([this](const std::string& address) { opened.push_back(address); });
}

void QtWindowTest::TearDown() {
    msgbox::setHandler({});
    modal::setHandler({});
    shell::setHandler({});
    store::setErrorHandler({});
}

std::unique_ptr<Form1Window> QtWindowTest::window(board::Random random) {
    if (!random) random = [] { return 0.5f; };
    return std::make_unique<Form1Window>(random);
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
