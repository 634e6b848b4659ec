// A fresh machine with the backdrop up, as the entry point leaves it before
// the first dialog, for the tests of the backdrop and the dialogs.
#pragma once

#include "app/install_state.h"
#include "app/installer_settings.h"
#include "platform/machine/scripted_user.h"
#include "platform/machine/surface.h"
#include "platform/machine/window_surfaces.h"
#include "platform/win32.h"
#include "tests/support/test_machine.h"
#include "ui/backdrop.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

// Where the tests leave their screenshots, for a person to look at.
inline std::filesystem::path ScreenshotFolder() {
    const auto folder = std::filesystem::path(REMBRIX_BINARY_DIR) / "screenshots";
    std::filesystem::create_directories(folder);
    return folder;
}

// Starts the machine with the given screen, puts the settings and state back
// to their initial values, and creates the backdrop window the way the entry
// point does. Settings may be changed before CreateBackdrop.
class BackdropMachine {
  public:
    explicit BackdropMachine(int width = 1024, int height = 768) : Machine(width, height) {
        Settings = DefaultInstallerSettings();
        ResetInstallState();
        ModuleInstance = GetModuleHandleA(nullptr);
        ScreenWidth = GetSystemMetrics(SM_CXSCREEN);
        ScreenHeight = GetSystemMetrics(SM_CYSCREEN);
    }
    ~BackdropMachine() { Settings = DefaultInstallerSettings(); }

    void CreateBackdrop() {
        WNDCLASSA windowClass{};
        windowClass.style = CS_PARENTDC;
        windowClass.lpfnWndProc = BackdropWndProc;
        windowClass.hInstance = ModuleInstance;
        windowClass.lpszClassName = "ZVSetUp";
        RegisterClassA(&windowClass);
        BackdropWindow =
            CreateWindowExA(0, "ZVSetUp", "Installation", WS_POPUP | WS_VISIBLE, 0, 0, ScreenWidth,
                            ScreenHeight, nullptr, nullptr, ModuleInstance, nullptr);
        LogoBitmap = LoadBitmapA(ModuleInstance, "logo");
    }

    // Lets the backdrop paint, as a modal loop would, and gives the screen.
    Surface PaintedScreen() {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message != WM_QUIT) {
                DispatchMessageA(&message);
            }
        }
        Surface screen;
        ComposeScreen(screen);
        return screen;
    }

    TestMachine Machine;
};

inline HWND WindowCaptioned(const char* caption) {
    return FindWindowA(nullptr, caption);
}

inline std::string ControlText(HWND dialog, int id) {
    char text[1024] = {};
    GetWindowTextA(GetDlgItem(dialog, id), text, sizeof text);
    return text;
}

// Types into the focused edit box after emptying it, as a person would with
// End and Backspace.
inline void ScriptReplaceText(const std::string& text, int oldLength = 80) {
    ScriptPressKey(VK_END);
    for (int index = 0; index < oldLength; ++index) {
        ScriptPressKey(VK_BACK);
    }
    if (!text.empty()) {
        ScriptTypeText(text);
    }
}
