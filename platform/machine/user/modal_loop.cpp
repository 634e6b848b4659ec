// The modal loop of dialogs and message boxes.
#include "platform/machine/input_source.h"
#include "platform/machine/user/dialog_manager.h"
#include "platform/machine/user/user_internals.h"
#include "platform/machine/user/window_records.h"

#include <memory>
#include <vector>

namespace {

// Disables the windows a modal dialog keeps from input and gives everything
// back on the way out: the windows enabled again and the dialog destroyed,
// also when an exception (a fatal error, input that ran out) unwinds
// through the loop.
class ModalSession {
  public:
    ModalSession(HWND dialog, HWND owner, bool disableAll) : Dialog(dialog) {
        std::vector<HWND> candidates;
        if (disableAll) {
            candidates = WindowManager().TopLevelOrder;
        } else if (owner != nullptr) {
            candidates.push_back(owner);
        }
        for (HWND window : candidates) {
            if (window != dialog && IsWindow(window) && IsWindowEnabled(window)) {
                Disabled.push_back(window);
                EnableWindow(window, FALSE);
            }
        }
    }

    ~ModalSession() {
        if (Finished) {
            return;
        }
        try {
            Release();
        } catch (...) {
            // Already unwinding from another exception: the machine is made
            // consistent as far as it goes, and the first exception wins.
        }
    }

    ModalSession(const ModalSession&) = delete;
    ModalSession& operator=(const ModalSession&) = delete;

    void Finish() {
        Release();
        Finished = true;
    }

  private:
    // The owner comes back before the dialog goes, so that the activation
    // passes to the owner when the dialog disappears.
    void Release() {
        while (!Disabled.empty()) {
            const HWND window = Disabled.back();
            Disabled.pop_back();
            if (IsWindow(window)) {
                EnableWindow(window, TRUE);
            }
        }
        if (Dialog != nullptr) {
            const HWND dialog = Dialog;
            Dialog = nullptr;
            if (FindWindowRecord(dialog)) {
                DestroyWindow(dialog);
            }
        }
    }

    HWND Dialog;
    std::vector<HWND> Disabled;
    bool Finished = false;
};

} // namespace

INT_PTR RunModalDialog(HWND dialog, HWND owner, bool disableAll) {
    const WindowRecord* record = FindWindowRecord(dialog);
    if (!record || !record->Dialog) {
        return -1;
    }
    const std::shared_ptr<DialogRecord> state = record->Dialog;
    ModalSession session(dialog, owner, disableAll);
    if (!state->Ended) {
        ShowWindow(dialog, SW_SHOW);
    }
    while (!state->Ended && FindWindowRecord(dialog)) {
        MSG message;
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                // The quit request belongs to whoever loops outside; the
                // dialog ends and leaves it for them.
                PostQuitMessage(static_cast<int>(message.wParam));
                break;
            }
            if (!IsDialogMessageA(dialog, &message)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
            continue;
        }
        if (!PollInputSource(true)) {
            throw MachineInputExhausted("no more input will come while the program waits in " +
                                        DescribeWaitingWindow(dialog));
        }
    }
    const INT_PTR result = state->Result;
    session.Finish();
    return result;
}
