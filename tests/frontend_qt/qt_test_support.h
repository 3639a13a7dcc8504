#pragma once

// Shared pieces of the Qt front-end tests: a temporary store, message boxes answered from a
// script (or the real ones), and modal windows shown as their real Qt dialogs without an event
// loop of their own.

#include "frontend/qt/form1_window.h"

#include <QDialog>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QtWindowTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // A main window whose deals always come from `random` (the same draw by default).
    std::unique_ptr<Form1Window> window(board::Random random = {});

    // Runs with the real Qt dialog of each modal window the rules open, in place of its loop.
    std::function<void(QDialog&)> onDialog;
    std::deque<int> answers;  // for Yes/No boxes; none left answers No
    std::vector<std::string> prompts;
    std::vector<std::string> opened;  // addresses

    std::unique_ptr<QTemporaryDir> storeDir;
};

// Pixel-exact comparison of two images, whatever their formats.
bool sameImage(const QImage& a, const QImage& b);

// Runs `inspect` on the next modal widget that opens (a real message box or dialog), then
// closes it with `key` (Enter, Escape...) unless `inspect` closed it already.
void whenModalOpens(std::function<void(QWidget&)> inspect, int key);
