#pragma once

// Shared pieces of the Qt front-end tests: a temporary store, and main windows whose message
// boxes are answered from a script and whose modal windows are their real Qt dialogs, run by
// the test instead of an event loop of their own.

#include "frontend/qt/form1_window.h"
#include "support/scripted_box.h"

#include <QDialog>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QtWindowTest : public ::testing::Test, public ScriptedBoxes {
  protected:
    void SetUp() override;

    // The real main window, with the desktop's services from the script below.
    class ScriptedWindow : public Form1Window {
      public:
        ScriptedWindow(QtWindowTest& test, board::Random random)
            : Form1Window(std::move(random)), test_(test) {}
        int MsgBox(const std::string& prompt, int style, const std::string& title) override {
            return test_.answer(prompt, style, title);
        }
        void OpenAddress(const std::string& address) override { test_.opened.push_back(address); }
        void LogError(const std::string& text) override { test_.logged.push_back(text); }

      protected:
        void runDialog(QDialog& dialog) override {
            if (test_.onDialog) test_.onDialog(dialog);
        }

      private:
        QtWindowTest& test_;
    };

    // A main window whose deals always come from `random` (the same draw by default).
    std::unique_ptr<ScriptedWindow> window(board::Random random = {});

    // Runs with the real Qt dialog of each modal window the rules open, in place of its loop.
    std::function<void(QDialog&)> onDialog;
    std::vector<std::string> opened;  // addresses
    std::vector<std::string> logged;  // the error log's lines

    // The prompts of the boxes shown so far.
    std::vector<std::string> prompts() const;

    std::unique_ptr<QTemporaryDir> storeDir;
};

// Pixel-exact comparison of two images, whatever their formats.
bool sameImage(const QImage& a, const QImage& b);

// Runs `inspect` on the next modal widget that opens (a real message box or dialog), then
// closes it with `key` (Enter, Escape...) unless `inspect` closed it already.
void whenModalOpens(std::function<void(QWidget&)> inspect, int key);
