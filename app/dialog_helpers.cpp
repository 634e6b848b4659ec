#include "app/dialog_helpers.h"

#include "app/install_state.h"
#include "app/installer_settings.h"

void CenterOnScreen(HWND dialog) {
    RECT bounds{};
    GetWindowRect(dialog, &bounds);
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    SetWindowPos(dialog, HWND_TOP, ScreenWidth / 2 - width / 2, ScreenHeight / 2 - height / 2, 0, 0,
                 SWP_NOSIZE);
}

bool ConfirmExit() {
    const std::string caption = "Exit " + Settings.ProductName;
    return MessageBoxA(nullptr, Settings.ExitQuestion.c_str(), caption.c_str(), MB_YESNO) == IDYES;
}

void DrainMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}
