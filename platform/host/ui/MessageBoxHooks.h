#pragma once
// What tests may know and decide about message boxes: the boxes shown so far, and answers planned
// before a box appears (each box shown takes the first planned answer and is answered at once).

#include <deque>
#include <string>
#include <vector>

#include "Osp/Ui/Controls/MessageBox.h"

namespace host {

struct MessageBoxRecord {
    std::wstring title;
    std::wstring text;
    Osp::Ui::Controls::MessageBoxStyle style;
    unsigned long timeout;
    int result;  // filled in when the box closes
};

std::deque<int>& PlannedMessageBoxAnswers();
std::vector<MessageBoxRecord>& MessageBoxLog();

}  // namespace host
