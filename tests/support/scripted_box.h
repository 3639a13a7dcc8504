#pragma once

// The one scripted message box of the tests: it records every box and answers Yes/No questions
// from a script, so no test ever waits on a dialog.

#include "game/frontend.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

struct RecordedBox {
    std::string prompt;
    int style;
    std::string title;
};

struct ScriptedBoxes {
    // Answers for the next Yes/No boxes, in order; a box without an answer gets No.
    std::deque<int> answers;
    std::vector<RecordedBox> boxes;
    // Called when a box is shown, before it is recorded (to look at the state at that moment).
    std::function<void(const RecordedBox&)> onBox;

    int answer(const std::string& prompt, int style, const std::string& title) {
        const RecordedBox box{prompt, style, title};
        if (onBox) onBox(box);
        boxes.push_back(box);
        if ((style & 0x0F) != msgbox::kYesNo) return msgbox::kOk;
        if (answers.empty()) return msgbox::kNo;
        const int given = answers.front();
        answers.pop_front();
        return given;
    }
};
