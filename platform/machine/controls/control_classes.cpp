#include "platform/machine/controls/control_classes.h"

#include "platform/machine/controls/control_procedures.h"
#include "platform/win32.h"

namespace {

void RegisterControlClass(const char* name, WNDPROC procedure) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.lpszClassName = name;
    // No background brush: each control paints every pixel of its client area
    // itself (or, for a frame, deliberately leaves its inside alone).
    windowClass.hbrBackground = nullptr;
    RegisterClassA(&windowClass);
}

} // namespace

void RegisterControlClasses() {
    ResetButtonStates();
    ResetEditStates();
    ResetStaticStates();
    RegisterControlClass("BUTTON", ButtonWindowProc);
    RegisterControlClass("EDIT", EditWindowProc);
    RegisterControlClass("STATIC", StaticWindowProc);
}
