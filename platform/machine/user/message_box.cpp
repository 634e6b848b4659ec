// MessageBoxA: a dialog of a STATIC text and push buttons, sized to its text
// and centred on the screen, answered as Windows answers it.
#include "platform/api/gdi32.h"
#include "platform/machine/machine.h"
#include "platform/machine/message_box_history.h"
#include "platform/machine/user/dialog_manager.h"
#include "platform/machine/user/message_box_style.h"
#include "platform/machine/user/user_internals.h"
#include "platform/machine/user/window_metrics.h"
#include "platform/machine/user/window_records.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

constexpr UINT ButtonsMask = 0x0000000Fu;
constexpr UINT IconMask = 0x000000F0u;
constexpr UINT DefaultButtonMask = 0x00000F00u;
constexpr UINT AbortRetryIgnore = 2;
constexpr UINT YesNoCancel = 3;
constexpr UINT RetryCancel = 5;

constexpr int Margin = 12;
constexpr int IconGap = 12;
constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 23;
constexpr int ButtonGap = 6;
constexpr int TextToButtons = 12;
// Kept beside the text so that the STATIC control, wrapping by its own
// measure, breaks the lines where the layout did.
constexpr int TextSlack = 4;
constexpr int TextStaticId = 0xFFFF;

struct MessageBoxButton {
    int Id;
    const char* Text;
};

struct MessageBoxDescription {
    std::vector<MessageBoxButton> Buttons;
    int DefaultId = IDOK;
    bool ErrorIcon = false;
    POINT IconPosition{0, 0};

    bool Has(int id) const {
        return std::any_of(Buttons.begin(), Buttons.end(),
                           [id](const MessageBoxButton& button) { return button.Id == id; });
    }
    // Esc and the close box answer Cancel where there is one, OK where OK
    // is the only button, and nothing otherwise.
    int CancelAnswer() const {
        if (Has(IDCANCEL)) {
            return IDCANCEL;
        }
        if (Buttons.size() == 1 && Buttons.front().Id == IDOK) {
            return IDOK;
        }
        return 0;
    }
};

std::unordered_map<HWND, const MessageBoxDescription*> OpenBoxes;

std::vector<MessageBoxButton> ButtonsFor(UINT type) {
    switch (type & ButtonsMask) {
    case MB_OK:
        return {{IDOK, "OK"}};
    case MB_OKCANCEL:
        return {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
    case AbortRetryIgnore:
        return {{IDABORT, "Abort"}, {IDRETRY, "Retry"}, {IDIGNORE, "Ignore"}};
    case YesNoCancel:
        return {{IDYES, "Yes"}, {IDNO, "No"}, {IDCANCEL, "Cancel"}};
    case MB_YESNO:
        return {{IDYES, "Yes"}, {IDNO, "No"}};
    case RetryCancel:
        return {{IDRETRY, "Retry"}, {IDCANCEL, "Cancel"}};
    default:
        return {};
    }
}

// The text as lines: "\r\n" (or a lone "\r" or "\n") ends a line, and a
// line wider than `maxWidth` breaks at spaces, as the STATIC control breaks
// it. A single word wider than that stays whole (the control cuts it).
std::vector<std::string> WrapLines(HDC dc, const std::string& text, int maxWidth) {
    const auto width = [dc](const std::string& line) {
        SIZE size{0, 0};
        GetTextExtentPoint32A(dc, line.c_str(), static_cast<int>(line.size()), &size);
        return static_cast<int>(size.cx);
    };
    std::vector<std::string> lines;
    size_t start = 0;
    while (true) {
        size_t end = text.find_first_of("\r\n", start);
        const std::string paragraph =
            text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        std::string line;
        size_t position = 0;
        while (position <= paragraph.size()) {
            size_t space = paragraph.find(' ', position);
            if (space == std::string::npos) {
                space = paragraph.size();
            }
            const std::string word = paragraph.substr(position, space - position);
            const std::string candidate = line.empty() ? word : line + " " + word;
            if (!line.empty() && width(candidate) > maxWidth) {
                lines.push_back(line);
                line = word;
            } else {
                line = candidate;
            }
            position = space + 1;
        }
        lines.push_back(line);
        if (end == std::string::npos) {
            break;
        }
        if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') {
            ++end;
        }
        start = end + 1;
    }
    return lines;
}

struct TextExtent {
    int Width = 0;
    int Height = 0;
};

TextExtent MeasureMessage(HFONT font, const std::string& text, int maxWidth) {
    HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ previous = SelectObject(dc, font);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    TextExtent extent;
    const std::vector<std::string> lines = WrapLines(dc, text, maxWidth);
    for (const std::string& line : lines) {
        SIZE size{0, 0};
        GetTextExtentPoint32A(dc, line.c_str(), static_cast<int>(line.size()), &size);
        extent.Width = std::max(extent.Width, std::min(static_cast<int>(size.cx), maxWidth));
    }
    extent.Height = static_cast<int>(lines.size()) * static_cast<int>(metrics.tmHeight);
    SelectObject(dc, previous);
    DeleteDC(dc);
    return extent;
}

int CaptionTextWidth(const std::string& caption) {
    HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ previous = SelectObject(dc, NonClientCaptionFont());
    SIZE size{0, 0};
    GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
    SelectObject(dc, previous);
    DeleteDC(dc);
    return static_cast<int>(size.cx);
}

DialogLayout LayoutMessageBox(const std::string& text, const std::string& caption, UINT type,
                              MessageBoxDescription& description) {
    DialogLayout layout;
    layout.Style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    layout.ExStyle = (type & MB_SYSTEMMODAL) ? WS_EX_TOPMOST : 0;
    layout.Caption = caption;
    layout.Font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "MS Sans Serif");

    const MachineConfig& config = CurrentMachineConfig();
    const int maxTextWidth = std::max(config.ScreenWidth * 5 / 8, 100);
    const TextExtent extent = MeasureMessage(layout.Font, text, maxTextWidth);
    const int iconSpace = description.ErrorIcon ? MessageBoxIconSize + IconGap : 0;
    const int textLeft = Margin + iconSpace;
    const int contentHeight = std::max(extent.Height, description.ErrorIcon ? MessageBoxIconSize : 0);
    const int textTop = Margin + (contentHeight - extent.Height) / 2;
    const int buttonCount = static_cast<int>(description.Buttons.size());
    const int buttonsWidth = buttonCount * ButtonWidth + (buttonCount - 1) * ButtonGap;
    const int captionWidth = CaptionTextWidth(caption) + 2 + 2 * CloseBoxMargin + CloseBoxWidth + 8;

    layout.ClientWidth = std::max(
        {textLeft + extent.Width + TextSlack + Margin, buttonsWidth + 2 * Margin, captionWidth});
    layout.ClientHeight = Margin + contentHeight + TextToButtons + ButtonHeight + Margin;
    const FrameInsets insets =
        NonClientInsetsOf(layout.Style, layout.ExStyle | WS_EX_DLGMODALFRAME);
    const int windowWidth = layout.ClientWidth + insets.Left + insets.Right;
    const int windowHeight = layout.ClientHeight + insets.Top + insets.Bottom;
    layout.ClientLeft = (config.ScreenWidth - windowWidth) / 2 + insets.Left;
    layout.ClientTop = (config.ScreenHeight - windowHeight) / 2 + insets.Top;

    description.IconPosition = POINT{Margin, Margin + (contentHeight - MessageBoxIconSize) / 2};
    int buttonLeft = (layout.ClientWidth - buttonsWidth) / 2;
    const int buttonTop = Margin + contentHeight + TextToButtons;
    bool first = true;
    for (const MessageBoxButton& button : description.Buttons) {
        DialogItemLayout item;
        item.ClassName = "BUTTON";
        item.Text = button.Text;
        item.Id = button.Id;
        item.Style = WS_CHILD | WS_VISIBLE | WS_TABSTOP |
                     (button.Id == description.DefaultId ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) |
                     (first ? WS_GROUP : 0);
        item.Bounds =
            RECT{buttonLeft, buttonTop, buttonLeft + ButtonWidth, buttonTop + ButtonHeight};
        layout.Items.push_back(item);
        buttonLeft += ButtonWidth + ButtonGap;
        first = false;
    }
    DialogItemLayout label;
    label.ClassName = "STATIC";
    label.Text = text;
    label.Id = TextStaticId;
    label.Style = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT;
    label.Bounds =
        RECT{textLeft, textTop, textLeft + extent.Width + TextSlack, textTop + extent.Height};
    layout.Items.push_back(label);
    return layout;
}

INT_PTR MessageBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        const auto* description = reinterpret_cast<const MessageBoxDescription*>(lParam);
        OpenBoxes[box] = description;
        SetFocus(GetDlgItem(box, description->DefaultId));
        return FALSE;
    }
    case WM_COMMAND: {
        const auto found = OpenBoxes.find(box);
        if (found == OpenBoxes.end()) {
            return FALSE;
        }
        int answer = LOWORD(wParam);
        if (answer == IDCANCEL) {
            answer = found->second->CancelAnswer();
        }
        if (answer != 0 && found->second->Has(answer)) {
            EndDialog(box, answer);
        }
        return TRUE;
    }
    case WM_PAINT: {
        const auto found = OpenBoxes.find(box);
        if (found == OpenBoxes.end() || !found->second->ErrorIcon) {
            return FALSE;
        }
        const POINT icon = found->second->IconPosition;
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(box, &paint);
        if (dc != nullptr) {
            DrawErrorIcon(dc, static_cast<int>(icon.x), static_cast<int>(icon.y));
        }
        EndPaint(box, &paint);
        return TRUE;
    }
    case WM_NCDESTROY:
        OpenBoxes.erase(box);
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    EnsureMachineStarted();
    MessageBoxDescription description;
    description.Buttons = ButtonsFor(type);
    if (description.Buttons.empty()) {
        return 0;
    }
    const size_t defaultIndex = (type & DefaultButtonMask) >> 8;
    description.DefaultId = description.Buttons[defaultIndex < description.Buttons.size() ? defaultIndex : 0].Id;
    description.ErrorIcon = (type & IconMask) == MB_ICONERROR;
    // Windows shows "Error" for a missing caption only; an empty one stays
    // empty.
    const std::string captionText = caption ? caption : "Error";
    const std::string messageText = text ? text : "";

    const HWND ownerWindow = TopLevelOf(owner);
    const size_t record = RecordMessageBoxShown(owner, captionText, messageText, type);
    const HWND box =
        CreateDialogWindow(LayoutMessageBox(messageText, captionText, type, description), ownerWindow,
                           MessageBoxProc, reinterpret_cast<LPARAM>(&description));
    if (box == nullptr) {
        return 0;
    }
    if (description.CancelAnswer() == 0) {
        // Without Cancel (and not a lone OK) the box cannot be closed: its
        // close box is disabled, as Windows disables Close for it.
        FindWindowRecord(box)->CloseBoxDisabled = true;
        PaintNonClient(box);
    }
    const bool taskModal = (type & MB_TASKMODAL) && ownerWindow == nullptr;
    const int answer = static_cast<int>(RunModalDialog(box, ownerWindow, taskModal));
    SetMessageBoxAnswer(record, answer);
    return answer;
}
