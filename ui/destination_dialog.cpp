#include "ui/destination_dialog.h"

#include "app/dialog_helpers.h"
#include "app/install_state.h"
#include "app/join_path.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/file_names.h"
#include "platform/runtime/reg_ini_file.h"

std::string DefaultDestination = "C:\\Program Files\\Rembrix";

namespace {

constexpr int DirectoryEditId = 104;
// WM_GETTEXT limit, terminating zero included.
constexpr int EntryLimit = 255;

// A value that exists but is not a string cannot be read as one; it is taken
// as missing, so a damaged registry still gives a usable proposal instead of
// ending the installation.
std::string ReadStringOrFallback(TRegIniFile& registry, const std::string& section,
                                 const std::string& ident, const std::string& fallback) {
    try {
        return registry.ReadString(section, ident, fallback);
    } catch (const ERegistryException&) {
        return fallback;
    }
}

std::string ProposeDestination() {
    std::string proposal;
    {
        TRegIniFile registry("Software\\Mellowick");
        proposal = ReadStringOrFallback(registry, "Rembrix", "RegDir", "");
    }
    if (!proposal.empty()) {
        return proposal;
    }
    TRegIniFile registry("Software\\Mellowick");
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    std::string programFiles = "C:\\Program Files";
    if (registry.OpenKey("software\\microsoft\\windows", false)) {
        programFiles =
            ReadStringOrFallback(registry, "CurrentVersion", "ProgramFilesDir", programFiles);
    }
    return JoinPath(programFiles, "Rembrix");
}

std::string OwnDirectory() {
    // Host folders reached through Z: can be longer than MAX_PATH.
    char path[2048] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    return ExtractFilePath(path);
}

void StartDialog(HWND dialog) {
    DestinationDir = OwnDirectory();
    SetWindowTextA(dialog, "Destination Directory");
    DefaultDestination = ProposeDestination();
    SendDlgItemMessageA(dialog, DirectoryEditId, WM_SETTEXT, 0,
                        reinterpret_cast<LPARAM>(DefaultDestination.c_str()));
    CenterOnScreen(dialog);
    SetFocus(GetDlgItem(dialog, DirectoryEditId));
}

// The letter is compared as it stands: the box upper-cases what is typed, and
// anything else (a lower-case letter, a digit) is refused.
bool HasDrivePrefix(const std::string& entry) {
    return entry.size() >= 2 && entry[0] >= 'A' && entry[0] <= 'Z' && entry[1] == ':';
}

void AcceptEntry(HWND dialog) {
    char text[EntryLimit] = {};
    SendDlgItemMessageA(dialog, DirectoryEditId, WM_GETTEXT, EntryLimit,
                        reinterpret_cast<LPARAM>(text));
    DestinationDir = text;
    if (HasDrivePrefix(DestinationDir) && MakeDestinationDir(DestinationDir)) {
        EndDialog(dialog, 1);
    }
}

} // namespace

bool HasWildcard(const std::string& text) {
    return text.find_first_of("*?") != std::string::npos;
}

bool DriveExists(char letter) {
    if (letter >= 'a' && letter <= 'z') {
        letter = static_cast<char>(letter - 'a' + 'A');
    }
    if (letter < 'A' || letter > 'Z') {
        return false;
    }
    const char root[] = {letter, ':', '\\', '\0'};
    return GetDriveTypeA(root) > 0;
}

bool DirExists(const std::string& path) {
    std::string probe = path;
    if (HasWildcard(probe)) {
        probe = ExtractFilePath(probe);
    }
    if (probe.empty()) {
        return false;
    }
    if (probe.size() <= 3) {
        return DriveExists(probe[0]);
    }
    if (probe.back() == '\\') {
        probe.pop_back();
    }
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA(probe.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool isDirectory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    FindClose(search);
    return isDirectory;
}

bool MakeDestinationDir(const std::string& path) {
    if (DirExists(path)) {
        return true;
    }
    CreateDirectoryA(path.c_str(), nullptr);
    if (!SetCurrentDirectoryA(path.c_str())) {
        return false;
    }
    DestinationDir = path;
    return true;
}

INT_PTR DestinationDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        StartDialog(dialog);
        break;
    case WM_COMMAND:
    case WM_SYSCOMMAND:
        if (LOWORD(wParam) == IDOK) {
            AcceptEntry(dialog);
        } else if (LOWORD(wParam) == IDCANCEL) {
            if (ConfirmExit()) {
                EndDialog(dialog, 0);
            }
        }
        break;
    case WM_DESTROY:
        EndDialog(dialog, 0);
        break;
    default:
        break;
    }
    return FALSE;
}
