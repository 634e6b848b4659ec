// A record of every message box the machine has shown since it started, so
// that tests and the demo can say what the user was told.
#pragma once

#include "platform/api/win32_types.h"

#include <string>
#include <vector>

struct ShownMessageBox {
    HWND Owner = nullptr;
    std::string Caption;
    std::string Text;
    UINT Type = 0;
    int Answer = 0; // the button that closed it (IDOK, IDYES, ...)
};

const std::vector<ShownMessageBox>& MessageBoxHistory();
