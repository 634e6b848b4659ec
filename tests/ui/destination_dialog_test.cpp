// The destination dialog: what it proposes, which entries it accepts, what
// it creates, and what DestinationDir holds when it ends.
#include "app/dialog_helpers.h"
#include "platform/machine/message_box_history.h"
#include "platform/machine/paths.h"
#include "tests/ui/ui_fixture.h"
#include "ui/destination_dialog.h"

#include <fstream>

namespace fs = std::filesystem;

namespace {

constexpr int DirectoryEdit = 104;
const char* const Caption = "Destination Directory";

fs::path HostPath(const std::string& windowsPath) {
    fs::path host;
    DWORD error = 0;
    EXPECT_TRUE(ResolveWindowsPath(windowsPath, host, error)) << windowsPath;
    return host;
}

std::string CurrentDirectory() {
    char text[1024] = {};
    GetCurrentDirectoryA(sizeof text, text);
    return text;
}

HKEY CreateKey(HKEY root, const char* path) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    return key;
}

void SetString(HKEY root, const char* path, const char* name, const std::string& value) {
    HKEY key = CreateKey(root, path);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

void SetNumber(HKEY root, const char* path, const char* name, DWORD value) {
    HKEY key = CreateKey(root, path);
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

void DeleteValue(HKEY root, const char* path, const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, name);
        RegCloseKey(key);
    }
}

const char* const RembrixKey = "Software\\Mellowick\\Rembrix";
const char* const CurrentVersionKey = "software\\microsoft\\windows\\CurrentVersion";

class DestinationDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Machine.CreateBackdrop();
        BeginScript();
    }

    INT_PTR RunDialog() {
        return DialogBoxParamA(ModuleInstance, "Main", BackdropWindow, DestinationDialogProc, 0);
    }

    // Cancel and confirm, so the dialog ends with 0.
    void ScriptGiveUp() {
        ScriptClick("Cancel");
        ScriptWaitForWindow("Exit Rembrix");
        ScriptClick("Yes");
    }

    // The proposal the dialog shows, read while it is open.
    std::string ProposalShown() {
        std::string shown;
        ScriptWaitForWindow(Caption);
        ScriptRun([&] { shown = ControlText(WindowCaptioned(Caption), DirectoryEdit); });
        ScriptGiveUp();
        EXPECT_EQ(RunDialog(), 0);
        EXPECT_EQ(DefaultDestination, shown);
        return shown;
    }

    BackdropMachine Machine;
};

TEST_F(DestinationDialogTest, StartsWithTheProgramsOwnDirectoryAndTheProposalFocused) {
    char own[1024] = {};
    GetModuleFileNameA(nullptr, own, sizeof own);
    std::string ownDirectory = own;
    ownDirectory.erase(ownDirectory.find_last_of("\\:") + 1);

    ScriptWaitForWindow(Caption);
    ScriptRun([&] {
        HWND dialog = WindowCaptioned(Caption);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(DestinationDir, ownDirectory);
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, DirectoryEdit));
        // Centred on the screen by its outer rectangle.
        RECT bounds{};
        GetWindowRect(dialog, &bounds);
        const int width = bounds.right - bounds.left;
        const int height = bounds.bottom - bounds.top;
        EXPECT_EQ(bounds.left, ScreenWidth / 2 - width / 2);
        EXPECT_EQ(bounds.top, ScreenHeight / 2 - height / 2);
    });
    ScriptGiveUp();
    EXPECT_EQ(RunDialog(), 0);
    // Given up before any OK: the clean-up looks in the program's directory.
    EXPECT_EQ(DestinationDir, ownDirectory);
}

TEST_F(DestinationDialogTest, ProposesTheEarlierInstallationOrTheProgramFilesFolder) {
    // The fresh machine's value.
    EXPECT_EQ(ProposalShown(), "C:\\Program Files\\Rembrix");

    SetString(HKEY_LOCAL_MACHINE, CurrentVersionKey, "ProgramFilesDir", "D:\\Apps\\");
    EXPECT_EQ(ProposalShown(), "D:\\Apps\\Rembrix");

    SetString(HKEY_LOCAL_MACHINE, CurrentVersionKey, "ProgramFilesDir", "D:\\Apps");
    EXPECT_EQ(ProposalShown(), "D:\\Apps\\Rembrix");

    // An empty earlier directory counts as none.
    SetString(HKEY_CURRENT_USER, RembrixKey, "RegDir", "");
    EXPECT_EQ(ProposalShown(), "D:\\Apps\\Rembrix");

    // An earlier installation wins, proposed as it stands.
    SetString(HKEY_CURRENT_USER, RembrixKey, "RegDir", "E:\\Old Place\\rembrix");
    EXPECT_EQ(ProposalShown(), "E:\\Old Place\\rembrix");

    DeleteValue(HKEY_CURRENT_USER, RembrixKey, "RegDir");
    DeleteValue(HKEY_LOCAL_MACHINE, CurrentVersionKey, "ProgramFilesDir");
    EXPECT_EQ(ProposalShown(), "C:\\Program Files\\Rembrix");
}

// A value that is not a string is taken as missing instead of ending the
// installation with a registry error.
TEST_F(DestinationDialogTest, ValuesThatAreNotStringsCountAsMissing) {
    SetString(HKEY_LOCAL_MACHINE, CurrentVersionKey, "ProgramFilesDir", "D:\\Apps");
    SetNumber(HKEY_CURRENT_USER, RembrixKey, "RegDir", 1);
    EXPECT_EQ(ProposalShown(), "D:\\Apps\\Rembrix");

    SetNumber(HKEY_LOCAL_MACHINE, CurrentVersionKey, "ProgramFilesDir", 2);
    EXPECT_EQ(ProposalShown(), "C:\\Program Files\\Rembrix");
}

TEST_F(DestinationDialogTest, MissingWindowsKeyGivesTheDefault) {
    HKEY microsoft = nullptr;
    ASSERT_EQ(
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, "software\\microsoft", 0, KEY_ALL_ACCESS, &microsoft),
        ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteKeyA(microsoft, "windows\\CurrentVersion\\Uninstall"), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteKeyA(microsoft, "windows\\CurrentVersion"), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteKeyA(microsoft, "windows"), ERROR_SUCCESS);
    RegCloseKey(microsoft);
    EXPECT_EQ(ProposalShown(), "C:\\Program Files\\Rembrix");
    // Opened, never created.
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "software\\microsoft\\windows", 0, KEY_READ, &key),
              ERROR_SUCCESS);
}

struct EntryCase {
    const char* Name;
    const char* Entry; // typed into the box (upper-cased by it)
    bool Accepted;
    const char* Created; // a directory that must exist afterwards, or null
    bool BecomesCurrent; // the accepted directory is the current directory
};

TEST_F(DestinationDialogTest, EntriesAreCheckedAndRefusedSilently) {
    ASSERT_TRUE(CreateDirectoryA("C:\\TEMP", nullptr));
    const EntryCase cases[] = {
        {"empty", "", false, nullptr, false},
        {"one character", "C", false, nullptr, false},
        {"digit first", "1:\\REMBRIX", false, nullptr, false},
        {"no colon", "CX", false, nullptr, false},
        {"relative path", "TEMP\\REMBRIX", false, nullptr, false},
        {"network path", "\\\\SERVER\\SHARE", false, nullptr, false},
        {"drive only", "C:", true, nullptr, false},
        {"drive root", "C:\\", true, nullptr, false},
        {"three characters, judged by the drive", "C:X", true, nullptr, false},
        {"letter without a volume", "Q:\\", true, nullptr, false},
        {"existing directory with trailing backslash", "C:\\TEMP\\", true, nullptr, false},
        {"new directory under an existing one", "C:\\TEMP\\REMBRIX", true, "C:\\TEMP\\REMBRIX",
         true},
        {"two missing levels", "C:\\NEW\\REMBRIX", false, nullptr, false},
        {"wildcard judged by its directory", "C:\\TEMP\\*", true, nullptr, false},
        {"wildcard under a missing directory", "C:\\NOSUCH\\*", false, nullptr, false},
    };
    for (const EntryCase& c : cases) {
        SCOPED_TRACE(c.Name);
        ASSERT_TRUE(SetCurrentDirectoryA("C:\\"));
        const size_t boxesBefore = MessageBoxHistory().size();
        BeginScript();
        ScriptWaitForWindow(Caption);
        ScriptReplaceText(c.Entry);
        ScriptPressKey(VK_RETURN);
        if (!c.Accepted) {
            // Still open, nothing said, the refused entry kept as typed.
            ScriptRun([&] {
                HWND dialog = WindowCaptioned(Caption);
                ASSERT_NE(dialog, nullptr);
                EXPECT_TRUE(IsWindowVisible(dialog));
                EXPECT_EQ(ControlText(dialog, DirectoryEdit), c.Entry);
                EXPECT_EQ(MessageBoxHistory().size(), boxesBefore);
            });
            ScriptGiveUp();
        }
        const INT_PTR result = RunDialog();
        EXPECT_EQ(result, c.Accepted ? 1 : 0);
        EXPECT_EQ(DestinationDir, c.Entry);
        if (c.Created) {
            EXPECT_TRUE(fs::is_directory(HostPath(c.Created)));
        }
        EXPECT_EQ(CurrentDirectory(), c.BecomesCurrent ? std::string(c.Entry) : "C:\\");
    }
    // Refusals created nothing.
    EXPECT_FALSE(fs::exists(HostPath("C:\\NEW")));
    EXPECT_FALSE(fs::exists(HostPath("C:\\NOSUCH")));
}

// Only the letters A to Z count, as the box hands them back; a proposal in
// lower case is refused unless the user types over it.
TEST_F(DestinationDialogTest, LowerCaseDriveLetterIsRefused) {
    SetString(HKEY_CURRENT_USER, RembrixKey, "RegDir", "c:\\rembrix");
    ScriptWaitForWindow(Caption);
    ScriptPressKey(VK_RETURN);
    ScriptRun([&] { EXPECT_NE(WindowCaptioned(Caption), nullptr); });
    ScriptGiveUp();
    EXPECT_EQ(RunDialog(), 0);
    EXPECT_EQ(DestinationDir, "c:\\rembrix");
    EXPECT_FALSE(fs::exists(HostPath("C:\\rembrix")));
}

TEST_F(DestinationDialogTest, EnterAcceptsTheProposalAndCreatesIt) {
    ScriptWaitForWindow(Caption);
    ScriptPressKey(VK_RETURN);
    EXPECT_EQ(RunDialog(), 1);
    EXPECT_EQ(DestinationDir, "C:\\Program Files\\Rembrix");
    EXPECT_TRUE(fs::is_directory(HostPath("C:\\Program Files\\Rembrix")));
    EXPECT_EQ(CurrentDirectory(), "C:\\Program Files\\Rembrix");
}

TEST_F(DestinationDialogTest, TypingIsUpperCased) {
    ScriptWaitForWindow(Caption);
    ScriptReplaceText("c:\\temp");
    ScriptPressKey(VK_RETURN);
    EXPECT_EQ(RunDialog(), 1);
    EXPECT_EQ(DestinationDir, "C:\\TEMP");
}

TEST_F(DestinationDialogTest, CancelAsksAndNoKeepsTheDialog) {
    ScriptWaitForWindow(Caption);
    ScriptReplaceText("C:\\KEPT");
    ScriptClick("Cancel");
    ScriptWaitForWindow("Exit Rembrix");
    ScriptClick("No");
    ScriptWaitForWindow(Caption);
    ScriptRun([&] { EXPECT_EQ(ControlText(WindowCaptioned(Caption), DirectoryEdit), "C:\\KEPT"); });
    // Esc and the close box ask the same question.
    ScriptPressKey(VK_ESCAPE);
    ScriptWaitForWindow("Exit Rembrix");
    ScriptClick("No");
    ScriptWaitForWindow(Caption);
    ScriptClick("close box");
    ScriptWaitForWindow("Exit Rembrix");
    ScriptClick("Yes");
    EXPECT_EQ(RunDialog(), 0);

    const auto& boxes = MessageBoxHistory();
    ASSERT_EQ(boxes.size(), 3u);
    for (const ShownMessageBox& box : boxes) {
        EXPECT_EQ(box.Owner, nullptr);
        EXPECT_EQ(box.Caption, "Exit Rembrix");
        EXPECT_EQ(box.Text, "Do you really want to terminate the Setup program?");
        EXPECT_EQ(box.Type, MB_YESNO);
    }
    EXPECT_EQ(boxes[0].Answer, IDNO);
    EXPECT_EQ(boxes[2].Answer, IDYES);
}

TEST(DestinationChecks, HasWildcard) {
    EXPECT_TRUE(HasWildcard("C:\\A*"));
    EXPECT_TRUE(HasWildcard("?"));
    EXPECT_FALSE(HasWildcard("C:\\PROGRAM FILES"));
    EXPECT_FALSE(HasWildcard(""));
}

TEST(DestinationChecks, DriveExistsForEveryLetterWithARootType) {
    TestMachine machine;
    struct Case {
        char Letter;
        bool Exists;
    };
    // C: and Z: have volumes; Q: has none, which still counts (type 1).
    for (const Case& c : {Case{'C', true}, Case{'c', true}, Case{'Z', true}, Case{'Q', true},
                          Case{'1', false}, Case{'\\', false}, Case{'\xE9', false}}) {
        EXPECT_EQ(DriveExists(c.Letter), c.Exists) << c.Letter;
    }
}

TEST(DestinationChecks, DirExists) {
    TestMachine machine;
    ASSERT_TRUE(CreateDirectoryA("C:\\TEMP", nullptr));
    std::ofstream(HostPath("C:\\TEMP\\FILE.TXT")) << "x";
    struct Case {
        const char* Path;
        bool Exists;
    };
    const Case cases[] = {
        {"", false},
        {"C:", true},
        {"Q:\\", true},
        {"1:\\", false},
        {"C:\\TEMP", true},
        {"c:\\temp\\", true},
        {"C:\\TEMP\\FILE.TXT", false},
        {"C:\\MISSING", false},
        {"C:\\TEMP\\*", true},
        {"C:\\MISSING\\?", false},
        {"*", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DirExists(c.Path), c.Exists) << c.Path;
    }
}

} // namespace
