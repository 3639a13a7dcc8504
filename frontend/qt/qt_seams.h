#pragma once

#include <QString>

#include <string>

// What the Qt windows share: text conversion and the real message box.
namespace qt_front {

inline QString qs(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<int>(utf8.size()));
}

// The real message box for the classic style codes.
int showMessageBox(const std::string& prompt, int style, const std::string& title);

}  // namespace qt_front
