#pragma once

#include <QString>

#include <functional>

// Modal message boxes with the classic style codes, so callers read like the rules they carry
// out and tests can answer every box from a script instead of blocking on a dialog.
namespace msgbox {

enum Style : int {
    kOkOnly = 0,
    kYesNo = 4,
    kCritical = 16,
    kQuestion = 32,
    kInformation = 64,
    kDefaultButton2 = 256,
};

enum Result : int { kOk = 1, kYes = 6, kNo = 7 };

using Handler = std::function<int(const QString& prompt, int style, const QString& title)>;

// Replaces the real dialog (tests); an empty handler restores it. Returns the previous one.
Handler setHandler(Handler handler);

}  // namespace msgbox

// Shows the box and returns the button pressed (msgbox::Result).
int MsgBox(const QString& prompt, int style, const QString& title);
