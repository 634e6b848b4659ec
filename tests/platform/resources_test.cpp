#include "platform/machine/resources.h"
#include "platform/win32.h"
#include "tests/support/test_machine.h"

#include <cstring>
#include <fstream>
#include <gtest/gtest.h>

namespace {

constexpr uint32_t DialogStyle =
    WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
constexpr uint32_t Child = WS_CHILD | WS_VISIBLE;

struct ExpectedControl {
    int Id;
    const char* ClassName;
    uint32_t Style;
    int X, Y, Width, Height;
    const char* Text;
};

struct ExpectedDialog {
    const char* LookupName; // as the installer asks for it
    const char* Caption;
    int X, Y, Width, Height;
    std::vector<ExpectedControl> Controls;
};

const ExpectedDialog ProgramDialogs[] = {
    {"Main",
     "Installation",
     6,
     19,
     223,
     111,
     {{1, "BUTTON", Child | WS_TABSTOP | BS_DEFPUSHBUTTON, 55, 82, 53, 14, "OK"},
      {2, "BUTTON", Child | WS_TABSTOP | BS_PUSHBUTTON, 115, 82, 53, 14, "Cancel"},
      {104, "EDIT", Child | WS_BORDER | WS_TABSTOP | ES_UPPERCASE, 19, 53, 184, 13,
       "C:\\Program Files\\Rembrix"},
      {65535, "STATIC", Child | WS_GROUP | SS_LEFT, 16, 11, 191, 33,
       "Please enter the drive and directory folder where you would like Rembrix to be located. "
       "To accept the default drive and directory simply press ENTER."}}},
    {"License",
     "License Agreement",
     1,
     1,
     267,
     208,
     {{1, "BUTTON", Child | WS_TABSTOP | BS_DEFPUSHBUTTON, 158, 191, 50, 14, "I Agree"},
      {2, "BUTTON", Child | WS_TABSTOP | BS_PUSHBUTTON, 211, 191, 50, 14, "Exit"},
      {101, "EDIT", Child | WS_TABSTOP | ES_MULTILINE | ES_READONLY, 10, 169, 246, 18,
       "You must agree to the terms of the above License Agreement to install and use Rembrix. "
       "If you do not agree, click on the Exit button."},
      {102, "EDIT", Child | WS_TABSTOP | ES_MULTILINE | ES_READONLY, 8, 6, 222, 18,
       "IMPORTANT: Please read the following License Agreement"}}},
    {"IProgress",
     "Progress",
     6,
     49,
     194,
     78,
     {{2, "BUTTON", Child | BS_PUSHBUTTON, 68, 55, 57, 14, "Cancel"},
      {101, "STATIC", Child | SS_BLACKFRAME, 15, 25, 164, 12, "frame"},
      {65535, "STATIC", Child | WS_GROUP | SS_LEFT, 16, 9, 160, 8,
       "Installing the Rembrix files."}}},
    {"Progress",
     "Progress",
     6,
     49,
     194,
     84,
     {{2, "BUTTON", Child | BS_PUSHBUTTON, 68, 60, 57, 14, "Cancel"},
      {101, "STATIC", Child | SS_BLACKFRAME, 15, 26, 164, 12, "frame"},
      {65535, "STATIC", Child | WS_GROUP | SS_LEFT, 16, 10, 124, 8,
       "Uncompressing the Rembrix files:"}}},
    {"Group",
     "DIALOG_1",
     6,
     15,
     184,
     116,
     {{1, "BUTTON", Child | WS_TABSTOP | BS_DEFPUSHBUTTON, 50, 95, 39, 14, "OK"},
      {2, "BUTTON", Child | WS_TABSTOP | BS_PUSHBUTTON, 93, 95, 41, 14, "Cancel"},
      {102, "EDIT", Child | WS_BORDER | WS_TABSTOP, 11, 44, 162, 12, ""},
      {101, "STATIC", Child | WS_GROUP | SS_LEFT, 12, 9, 160, 25,
       "Please enter the name of the program group that you would like Rembrix to use. "
       "To accept the default, simply press ENTER."},
      {103, "BUTTON", Child | WS_TABSTOP | BS_AUTOCHECKBOX, 11, 66, 164, 13,
       "Start automatically every time you turn on your"},
      {65535, "STATIC", Child | WS_GROUP | SS_LEFT, 24, 78, 147, 8, "system (recommended)"}}},
};

uint16_t WordAt(const uint8_t* bytes, std::size_t offset) {
    return static_cast<uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

uint32_t DoubleAt(const uint8_t* bytes, std::size_t offset) {
    return WordAt(bytes, offset) | (static_cast<uint32_t>(WordAt(bytes, offset + 2)) << 16);
}

} // namespace

TEST(Resources, TheProgramsDialogTemplatesAreTheDocumentedOnes) {
    TestMachine machine;
    for (const ExpectedDialog& expected : ProgramDialogs) {
        SCOPED_TRACE(expected.LookupName);
        const DialogTemplate* dialog = FindDialogTemplate(expected.LookupName);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->Style, DialogStyle);
        EXPECT_EQ(dialog->ExStyle, 0u);
        EXPECT_EQ(dialog->Caption, expected.Caption);
        EXPECT_EQ(dialog->FontPointSize, 8);
        EXPECT_EQ(dialog->FontFace, "MS Sans Serif");
        EXPECT_EQ((std::vector<int>{dialog->X, dialog->Y, dialog->Width, dialog->Height}),
                  (std::vector<int>{expected.X, expected.Y, expected.Width, expected.Height}));
        ASSERT_EQ(dialog->Controls.size(), expected.Controls.size());
        for (std::size_t index = 0; index < expected.Controls.size(); ++index) {
            const DialogControlTemplate& control = dialog->Controls[index];
            const ExpectedControl& want = expected.Controls[index];
            SCOPED_TRACE(want.Text);
            EXPECT_EQ(control.Id, want.Id);
            EXPECT_EQ(control.ClassName, want.ClassName);
            EXPECT_EQ(control.Style, want.Style);
            EXPECT_EQ(control.ExStyle, 0u);
            EXPECT_EQ((std::vector<int>{control.X, control.Y, control.Width, control.Height}),
                      (std::vector<int>{want.X, want.Y, want.Width, want.Height}));
            EXPECT_EQ(control.Text, want.Text);
        }
    }
}

TEST(Resources, KernelCallsFindLoadAndHideResources) {
    TestMachine machine;
    const HMODULE module = GetModuleHandleA(nullptr);
    for (const char* name : {"Main", "MAIN", "main", "License", "IProgress", "Progress", "Group"}) {
        const HRSRC found = FindResourceA(module, name, RT_DIALOG);
        ASSERT_NE(found, nullptr) << name;
        EXPECT_NE(LoadResource(module, found), nullptr) << name;
    }
    EXPECT_EQ(FindResourceA(module, "Main", RT_BITMAP), nullptr);
    EXPECT_EQ(FindResourceA(module, "Setup", RT_DIALOG), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));

    HideResource("license");
    EXPECT_EQ(FindResourceA(module, "License", RT_DIALOG), nullptr);
    EXPECT_EQ(FindDialogTemplate("LICENSE"), nullptr);
    EXPECT_NE(FindResourceA(module, "Main", RT_DIALOG), nullptr);
    StartMachine(machine.Config);
    EXPECT_NE(FindResourceA(module, "License", RT_DIALOG), nullptr);
}

TEST(Resources, ADialogResourceHoldsTheBinaryTemplate) {
    TestMachine machine;
    const HMODULE module = GetModuleHandleA(nullptr);
    const HRSRC found = FindResourceA(module, "Group", RT_DIALOG);
    ASSERT_NE(found, nullptr);
    const auto* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(module, found)));
    const DWORD size = SizeofResource(module, found);
    ASSERT_NE(bytes, nullptr);
    ASSERT_GT(size, 18u);
    EXPECT_EQ(DoubleAt(bytes, 0), DialogStyle);
    EXPECT_EQ(DoubleAt(bytes, 4), 0u);
    EXPECT_EQ(WordAt(bytes, 8), 6); // controls
    EXPECT_EQ((std::vector<int>{WordAt(bytes, 10), WordAt(bytes, 12), WordAt(bytes, 14),
                                WordAt(bytes, 16)}),
              (std::vector<int>{6, 15, 184, 116}));
    EXPECT_EQ(WordAt(bytes, 18), 0); // no menu
    EXPECT_EQ(WordAt(bytes, 20), 0); // the dialog class
    std::size_t offset = 22;
    std::u16string caption;
    for (; WordAt(bytes, offset) != 0; offset += 2) {
        caption.push_back(static_cast<char16_t>(WordAt(bytes, offset)));
    }
    EXPECT_EQ(caption, u"DIALOG_1");
    offset += 2;
    EXPECT_EQ(WordAt(bytes, offset), 8); // point size, then the face
    offset += 2 + 2 * (std::strlen("MS Sans Serif") + 1);
    offset = (offset + 3) & ~std::size_t{3};
    // The first control: OK, a BUTTON by its atom.
    EXPECT_EQ(DoubleAt(bytes, offset), Child | WS_TABSTOP | BS_DEFPUSHBUTTON);
    EXPECT_EQ(WordAt(bytes, offset + 16), 1);      // id
    EXPECT_EQ(WordAt(bytes, offset + 18), 0xFFFF); // class by atom
    EXPECT_EQ(WordAt(bytes, offset + 20), 0x80);   // BUTTON
    EXPECT_EQ(WordAt(bytes, offset + 22), u'O');
    EXPECT_EQ(FreeResource(LoadResource(module, found)), FALSE);
}

TEST(Resources, TheLogoIsABitmapResource) {
    TestMachine machine;
    const std::vector<uint8_t>* file = FindBitmapResource("logo");
    if (file == nullptr) {
        GTEST_SKIP() << "resources/logo.bmp is not part of this build";
    }
    ASSERT_GT(file->size(), 54u);
    EXPECT_EQ((*file)[0], 'B');
    EXPECT_EQ((*file)[1], 'M');
    const HMODULE module = GetModuleHandleA(nullptr);
    const HRSRC found = FindResourceA(module, "LOGO", RT_BITMAP);
    ASSERT_NE(found, nullptr);
    // As in Windows, the resource is the bitmap without its file header.
    EXPECT_EQ(SizeofResource(module, found), file->size() - 14);
    EXPECT_EQ(std::memcmp(LockResource(LoadResource(module, found)), file->data() + 14,
                          file->size() - 14),
              0);
    HideResource("Logo");
    EXPECT_EQ(FindBitmapResource("logo"), nullptr);
}

TEST(Resources, TestsAddScriptsOfTheirOwn) {
    TestMachine machine;
    const auto bitmap = machine.Scratch() / "tiny.bmp";
    std::ofstream(bitmap, std::ios::binary) << "BM0123456789ABCDEFG";
    AddResourceScriptForTesting("/* a test dialog */\n"
                                "Tiny DIALOGEX 0, 0, 100, 50\n"
                                "CAPTION \"Say \"\"hi\"\"\\n\"\n"
                                "FONT 8, \"MS Sans Serif\", 400, 0, 1\n"
                                "{\n"
                                "  CONTROL \"caf\xC3\xA9\", -1, Static, SS_LEFT | NOT WS_VISIBLE, "
                                "1, 2, 3, 4, WS_EX_CLIENTEDGE\n"
                                "  CONTROL \"Go\", 0x10, \"Button\", 0x1 | WS_TABSTOP, 5, 6, 7, 8\n"
                                "}\n"
                                "TINYBMP BITMAP \"" +
                                bitmap.string() +
                                "\"\n"
                                "GONE BITMAP \"no such file.bmp\"\n");
    const DialogTemplate* dialog = FindDialogTemplate("TINY");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->Style, WS_POPUP | WS_BORDER | WS_SYSMENU | WS_CAPTION | DS_SETFONT);
    EXPECT_EQ(dialog->Caption, "Say \"hi\"\n");
    ASSERT_EQ(dialog->Controls.size(), 2u);
    EXPECT_EQ(dialog->Controls[0].Text, "caf\xE9");
    EXPECT_EQ(dialog->Controls[0].Id, -1); // DIALOGEX keeps a DWORD id
    EXPECT_EQ(dialog->Controls[0].ClassName, "STATIC");
    EXPECT_EQ(dialog->Controls[0].Style, WS_CHILD | SS_LEFT);
    EXPECT_EQ(dialog->Controls[0].ExStyle, WS_EX_CLIENTEDGE);
    EXPECT_EQ(dialog->Controls[1].Id, 16);
    EXPECT_EQ(dialog->Controls[1].Style, Child | WS_TABSTOP | BS_DEFPUSHBUTTON);
    ASSERT_NE(FindBitmapResource("TinyBmp"), nullptr);
    EXPECT_EQ(FindBitmapResource("TinyBmp")->size(), 19u);
    EXPECT_EQ(FindBitmapResource("Gone"), nullptr);
    // A template of an existing name replaces it.
    AddResourceScriptForTesting("MAIN DIALOG 1, 2, 3, 4\nBEGIN\nEND\n");
    EXPECT_TRUE(FindDialogTemplate("Main")->Controls.empty());
    StartMachine(machine.Config);
    EXPECT_EQ(FindDialogTemplate("Tiny"), nullptr);
    EXPECT_EQ(FindDialogTemplate("Main")->Controls.size(), 4u);
}

TEST(Resources, AScriptThatCannotBeReadNamesItsLine) {
    TestMachine machine;
    struct Case {
        const char* Script;
        const char* Expected;
    };
    const Case cases[] = {
        {"X DIALOG 0, 0, 1, 1\nSTYLE WS_POPUP | WS_FANCY\nBEGIN\nEND\n",
         "line 2: unknown style name WS_FANCY"},
        {"X DIALOG 0, 0, 1, 1\nBEGIN\n  CONTROL \"a\", 1, \"BUTTON\", 0, 1, 2\nEND\n",
         "line 3: expected ','"},
        {"X DIALOG 0, 0, 1\n", "line 1: expected ','"},
        {"X MENU\n", "line 1: unknown resource type MENU"},
        {"X DIALOG 0, 0, 1, 1\nCAPTION \"open\nBEGIN\nEND\n",
         "line 2: a string that does not end on its line"},
        {"X DIALOG 0, 0, 1, 1\nBEGIN\n  CONTROL \"a\", 70000, \"BUTTON\", 0, 1, 2, 3, 4\nEND\n",
         "line 3: a control id outside the range of its template"},
    };
    for (const Case& c : cases) {
        try {
            AddResourceScriptForTesting(c.Script);
            ADD_FAILURE() << "accepted: " << c.Script;
        } catch (const std::runtime_error& error) {
            EXPECT_NE(std::string(error.what()).find(c.Expected), std::string::npos)
                << error.what() << "\nexpected: " << c.Expected;
        }
    }
}
