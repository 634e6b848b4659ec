// DefWindowProcA and the window text it keeps for every window.
#include "platform/machine/user/user_internals.h"
#include "platform/machine/user/window_metrics.h"
#include "platform/machine/user/window_records.h"

#include <cstring>

namespace {

// WM_GETTEXT's limit counts the terminating zero: a limit of n gives at
// most n - 1 characters.
LRESULT CopyWindowText(const WindowRecord& record, char* buffer, WPARAM limit) {
    if (buffer == nullptr || limit == 0) {
        return 0;
    }
    const size_t copied = std::min(record.Text.size(), static_cast<size_t>(limit - 1));
    std::memcpy(buffer, record.Text.data(), copied);
    buffer[copied] = '\0';
    return static_cast<LRESULT>(copied);
}

LRESULT EraseWithClassBackground(const WindowRecord& record, HDC dc) {
    const HBRUSH background = record.Class ? record.Class->Background : nullptr;
    if (background == nullptr || dc == nullptr) {
        return 0;
    }
    const RECT area = EraseAreaOf(record);
    FillRect(dc, &area, background);
    return 1;
}

} // namespace

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowRecord* record = FindWindowRecord(window);
    if (!record) {
        return 0;
    }
    switch (message) {
    case WM_SETTEXT:
        record->Text = lParam ? reinterpret_cast<const char*>(lParam) : "";
        if (NonClientInsetsOf(record->Style, record->ExStyle).HasCaption) {
            PaintNonClient(window);
        }
        return TRUE;
    case WM_GETTEXT:
        return CopyWindowText(*record, reinterpret_cast<char*>(lParam), wParam);
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(record->Text.size());
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return EraseWithClassBackground(*record, reinterpret_cast<HDC>(wParam));
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE && !record->CloseBoxDisabled) {
            SendMessageA(window, WM_CLOSE, 0, 0);
        }
        return 0;
    default:
        return 0;
    }
}

BOOL SetWindowTextA(HWND window, LPCSTR text) {
    if (!FindWindowRecord(window)) {
        return FALSE;
    }
    return SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

int GetWindowTextA(HWND window, LPSTR text, int maxCount) {
    if (text != nullptr && maxCount > 0) {
        text[0] = '\0';
    }
    if (!FindWindowRecord(window) || text == nullptr || maxCount <= 0) {
        return 0;
    }
    return static_cast<int>(SendMessageA(window, WM_GETTEXT, static_cast<WPARAM>(maxCount),
                                         reinterpret_cast<LPARAM>(text)));
}

int GetWindowTextLengthA(HWND window) {
    if (!FindWindowRecord(window)) {
        return 0;
    }
    return static_cast<int>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
}
