#pragma once

// Shared pieces of the window tests: a temporary store, recorded message boxes answered from a
// script, recorded addresses, and modal windows driven by a callback.

#include "platform/modal.h"
#include "platform/msgbox.h"
#include "platform/shell.h"
#include "settings/settings_store.h"

#include <QImage>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

struct RecordedBox {
    QString prompt;
    int style;
    QString title;
};

class UiTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Answers for the next Yes/No boxes, in order; a box without an answer gets No.
    std::deque<int> answers;
    std::vector<RecordedBox> boxes;
    std::vector<QString> addresses;
    // Runs in place of a modal window's event loop.
    std::function<void(QDialog&)> onModal;
    // Called when a box is shown, before it is recorded (to look at the state at that moment).
    std::function<void(const RecordedBox&)> onBox;
    int storeErrors = 0;

    std::unique_ptr<QTemporaryDir> storeDir;

    void storeValue(const std::string& name, std::int32_t value);
};

// Pixel-exact comparison of two images, whatever their formats.
bool sameImage(const QImage& a, const QImage& b);
