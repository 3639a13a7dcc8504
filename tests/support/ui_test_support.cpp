#include "support/ui_test_support.h"

#include <QApplication>
#include <QDialog>

void UiTest::SetUp() {
    storeDir = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(storeDir->isValid());
    store::setDirectory(storeDir->path().toStdString());
    store::setErrorHandler([this] {
        ++storeErrors;
        MsgBox(QStringLiteral("存储失败！"), msgbox::kCritical, QStringLiteral("错误："));
    });
    msgbox::setHandler([this](const QString& prompt, int style, const QString& title) {
        const RecordedBox box{prompt, style, title};
        if (onBox) onBox(box);
        boxes.push_back(box);
        if ((style & 0x0F) != msgbox::kYesNo) return static_cast<int>(msgbox::kOk);
        if (answers.empty()) return static_cast<int>(msgbox::kNo);
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    });
    shell::setHandler([this](const QString& address) { addresses.push_back(address); });
    modal::setHandler([this](QDialog& window) {
        if (onModal) onModal(window);
    });
}

void UiTest::TearDown() {
    msgbox::setHandler({});
    shell::setHandler({});
    modal::setHandler({});
    store::setErrorHandler({});
}

void UiTest::storeValue(const std::string& name, std::int32_t value) {
    SaveRegValue("Tessle", name, value);
}

bool sameImage(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return false;
    return a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}
