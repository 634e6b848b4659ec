// Every text the installer's dialogs show fits its control at the dialogs'
// own sizes, in the dialog font: nothing is cut off.
#include "platform/machine/controls/control_drawing.h"
#include "platform/machine/controls/text_wrap.h"
#include "tests/controls/control_test_window.h"

namespace {

// Dialog units to pixels with the dialog font's base units, 6 by 13.
int PixelsAcross(int dialogUnits) {
    return (dialogUnits * 6 + 2) / 4;
}
int PixelsDown(int dialogUnits) {
    return (dialogUnits * 13 + 4) / 8;
}

struct ShownText {
    const char* Text;
    int Width;  // dialog units
    int Height; // dialog units
};

class InstallerTextsTest : public ControlTest {
  protected:
    InstallerTextsTest() {
        Measure = CreateCompatibleDC(nullptr);
        SelectObject(Measure, DialogFont);
        LineHeight = MeasureLineHeight(Measure);
    }
    ~InstallerTextsTest() override { DeleteDC(Measure); }

    int Width(const std::string& text) { return MeasureTextWidth(Measure, text); }

    HDC Measure = nullptr;
    int LineHeight = 0;
};

TEST_F(InstallerTextsTest, StaticTextsFitTheirRectangles) {
    const ShownText texts[] = {
        {"Please enter the drive and directory folder where you would like Rembrix to be "
         "located. To accept the default drive and directory simply press ENTER.",
         191, 33},
        {"Installing the Rembrix files.", 160, 8},
        {"Uncompressing the Rembrix files:", 124, 8},
        {"Please enter the name of the program group that you would like Rembrix to use. To "
         "accept the default, simply press ENTER.",
         160, 25},
        {"system (recommended)", 147, 8},
    };
    for (const ShownText& shown : texts) {
        const int width = PixelsAcross(shown.Width);
        const std::string text = shown.Text;
        const std::vector<TextLine> lines = WrapText(Measure, text, width, LongWordRule::Clip);
        EXPECT_LE(static_cast<int>(lines.size()) * LineHeight, PixelsDown(shown.Height))
            << shown.Text;
        for (const TextLine& line : lines) {
            std::string visible = text.substr(line.Start, line.Length);
            visible.erase(visible.find_last_not_of(' ') + 1);
            EXPECT_LE(Width(visible), width) << shown.Text;
        }
    }
}

TEST_F(InstallerTextsTest, LicenseLabelsFitTheirBoxes) {
    const ShownText labels[] = {
        {"You must agree to the terms of the above License Agreement to install and use "
         "Rembrix. If you do not agree, click on the Exit button.",
         246, 18},
        {"IMPORTANT: Please read the following License Agreement", 222, 18},
    };
    for (const ShownText& label : labels) {
        const RECT bounds{10, 10, 10 + PixelsAcross(label.Width), 10 + PixelsDown(label.Height)};
        HWND box = Create("EDIT", label.Text, WS_TABSTOP | ES_MULTILINE | ES_READONLY, 101, bounds);
        const LRESULT lines = SendMessageA(box, EM_GETLINECOUNT, 0, 0);
        // One pixel of margin above the first line.
        EXPECT_LE(1 + lines * LineHeight, PixelsDown(label.Height)) << label.Text;
        SendMessageA(box, WM_VSCROLL, SB_BOTTOM, 0);
        EXPECT_EQ(SendMessageA(box, EM_GETFIRSTVISIBLELINE, 0, 0), 0)
            << "all of it is in view: " << label.Text;
        DestroyWindow(box);
    }
}

TEST_F(InstallerTextsTest, ButtonCheckBoxAndEditTextsFit) {
    const ShownText buttons[] = {
        {"OK", 53, 14}, {"Cancel", 53, 14}, {"I Agree", 50, 14}, {"Exit", 50, 14},
        {"OK", 39, 14}, {"Cancel", 41, 14}, {"Cancel", 57, 14},
    };
    for (const ShownText& button : buttons) {
        // Inside the focus rectangle, 4 pixels in from each side.
        EXPECT_LE(Width(button.Text), PixelsAcross(button.Width) - 10) << button.Text;
        EXPECT_LE(LineHeight, PixelsDown(button.Height) - 8) << button.Text;
    }
    // The check box's text starts 4 pixels after its 13-pixel square.
    const std::string check = "Start automatically every time you turn on your";
    EXPECT_LE(13 + 4 + Width(check), PixelsAcross(164));

    HWND destination = Create("EDIT", "", WS_BORDER | WS_TABSTOP | ES_UPPERCASE, 104,
                              RECT{10, 10, 10 + PixelsAcross(184), 10 + PixelsDown(13)});
    SetFocus(destination);
    TypeText("C:\\Program Files\\Rembrix");
    EXPECT_EQ(TextOf(destination), "C:\\PROGRAM FILES\\REMBRIX");
    HWND group = Create("EDIT", "", WS_BORDER | WS_TABSTOP, 102,
                        RECT{10, 40, 10 + PixelsAcross(162), 40 + PixelsDown(12)});
    SetFocus(group);
    TypeText("Rembrix Programs");
    EXPECT_EQ(TextOf(group), "Rembrix Programs");
}

} // namespace
