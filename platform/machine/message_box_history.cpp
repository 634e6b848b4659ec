// The record of message boxes shown since the machine started.
#include "platform/machine/message_box_history.h"

#include "platform/machine/user/user_internals.h"

namespace {

std::vector<ShownMessageBox> History;

} // namespace

const std::vector<ShownMessageBox>& MessageBoxHistory() {
    return History;
}

size_t RecordMessageBoxShown(HWND owner, const std::string& caption, const std::string& text,
                             UINT type) {
    History.push_back(ShownMessageBox{owner, caption, text, type, 0});
    return History.size() - 1;
}

void SetMessageBoxAnswer(size_t index, int answer) {
    // A restart of the machine while the box was open has emptied the list.
    if (index < History.size()) {
        History[index].Answer = answer;
    }
}

void ResetMessageBoxHistory() {
    History.clear();
}
