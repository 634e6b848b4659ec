#include "platform/machine/shell/shell_link_object.h"

#include "platform/machine/paths.h"
#include "platform/machine/shell/shell_link_format.h"
#include "platform/machine/shell/shell_state.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr IID IID_IPersist = {
    0x0000010C, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// Lengths the ANSI interface accepts for a path or a text property.
constexpr size_t MaxPathText = MAX_PATH - 1;
constexpr size_t MaxInfoText = 1023;

HRESULT HresultFromWin32(DWORD error) {
    return error == 0 ? E_FAIL : static_cast<HRESULT>((error & 0xFFFF) | (7u << 16) | 0x80000000u);
}

HRESULT SaveFailure(DWORD error) {
    switch (error) {
    case ERROR_PATH_NOT_FOUND:
    case ERROR_FILE_NOT_FOUND:
    case ERROR_INVALID_NAME:
        return STG_E_PATHNOTFOUND;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return STG_E_ACCESSDENIED;
    default:
        return HresultFromWin32(error);
    }
}

void CopyOut(const std::string& text, LPSTR buffer, int size) {
    if (buffer == nullptr || size <= 0) {
        return;
    }
    const size_t count = std::min(text.size(), static_cast<size_t>(size - 1));
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
}

std::string AnsiPath(LPCOLESTR wide) {
    int length = 0;
    while (wide[length] != 0) {
        ++length;
    }
    if (length == 0) {
        return {};
    }
    std::string text(static_cast<size_t>(length) * 2, '\0');
    const int count = WideCharToMultiByte(CP_ACP, 0, wide, length, text.data(),
                                          static_cast<int>(text.size()), nullptr, nullptr);
    text.resize(count > 0 ? static_cast<size_t>(count) : 0);
    return text;
}

// The full form of a Windows path, as SetPath stores it: relative and
// drive-relative paths completed from the current directory, "/" as "\",
// "." and ".." resolved. A path the machine cannot normalise (a network path,
// say) is kept as it stands.
std::string FullWindowsPath(const std::string& path) {
    WindowsPath full;
    DWORD error = 0;
    return NormaliseWindowsPath(path, false, full, error) ? full.Text() : path;
}

class ShellLinkObject final : public IShellLinkA, public IPersistFile {
  public:
    ShellLinkObject() : Generation(TheShellState().Generation) { ++TheShellState().LiveLinks; }

    // IUnknown, answered alike through both interfaces.
    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        if (iid == IID_IUnknown || iid == IID_IShellLinkA) {
            *object = static_cast<IShellLinkA*>(this);
        } else if ((iid == IID_IPersistFile || iid == IID_IPersist) &&
                   TheShellState().LinkFault != ShellLinkFault::NoPersistFile) {
            *object = static_cast<IPersistFile*>(this);
        } else {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++References; }
    ULONG Release() override {
        const ULONG left = --References;
        if (left == 0) {
            if (Generation == TheShellState().Generation) {
                --TheShellState().LiveLinks;
            }
            delete this;
        }
        return left;
    }

    // IShellLinkA.
    HRESULT GetPath(LPSTR file, int size, WIN32_FIND_DATAA* findData, DWORD) override {
        if (file == nullptr) {
            return E_POINTER;
        }
        CopyOut(Link.TargetPath, file, size);
        if (findData != nullptr) {
            *findData = WIN32_FIND_DATAA{};
            findData->dwFileAttributes = Link.TargetAttributes;
            findData->ftCreationTime = Link.CreationTime;
            findData->ftLastAccessTime = Link.AccessTime;
            findData->ftLastWriteTime = Link.WriteTime;
            findData->nFileSizeLow = Link.TargetSize;
            const size_t slash = Link.TargetPath.find_last_of("\\:");
            CopyOut(slash == std::string::npos ? Link.TargetPath
                                               : Link.TargetPath.substr(slash + 1),
                    findData->cFileName, MAX_PATH);
        }
        return Link.TargetPath.empty() ? S_FALSE : S_OK;
    }
    // Item identifier lists are not kept: the link is found by its path.
    HRESULT GetIDList(PIDLIST_ABSOLUTE* list) override {
        if (list != nullptr) {
            *list = nullptr;
        }
        return E_NOTIMPL;
    }
    HRESULT SetIDList(PCIDLIST_ABSOLUTE) override { return E_NOTIMPL; }
    HRESULT GetDescription(LPSTR name, int size) override {
        return GetText(Link.Description, name, size);
    }
    HRESULT SetDescription(LPCSTR name) override {
        return SetText(Link.Description, name, MaxInfoText);
    }
    HRESULT GetWorkingDirectory(LPSTR directory, int size) override {
        return GetText(Link.WorkingDirectory, directory, size);
    }
    HRESULT SetWorkingDirectory(LPCSTR directory) override {
        return SetText(Link.WorkingDirectory, directory, MaxPathText);
    }
    HRESULT GetArguments(LPSTR arguments, int size) override {
        return GetText(Link.Arguments, arguments, size);
    }
    HRESULT SetArguments(LPCSTR arguments) override {
        return SetText(Link.Arguments, arguments, MaxInfoText);
    }
    HRESULT GetHotkey(WORD* hotkey) override {
        if (hotkey == nullptr) {
            return E_POINTER;
        }
        *hotkey = Link.HotKey;
        return S_OK;
    }
    HRESULT SetHotkey(WORD hotkey) override {
        Link.HotKey = hotkey;
        Dirty = true;
        return S_OK;
    }
    HRESULT GetShowCmd(int* showCommand) override {
        if (showCommand == nullptr) {
            return E_POINTER;
        }
        *showCommand = static_cast<int>(Link.ShowCommand);
        return S_OK;
    }
    HRESULT SetShowCmd(int showCommand) override {
        Link.ShowCommand = static_cast<uint32_t>(showCommand);
        Dirty = true;
        return S_OK;
    }
    HRESULT GetIconLocation(LPSTR iconPath, int size, int* iconIndex) override {
        if (iconIndex != nullptr) {
            *iconIndex = Link.IconIndex;
        }
        return GetText(Link.IconLocation, iconPath, size);
    }
    HRESULT SetIconLocation(LPCSTR iconPath, int iconIndex) override {
        Link.IconIndex = iconIndex;
        return SetText(Link.IconLocation, iconPath, MaxPathText);
    }
    HRESULT SetRelativePath(LPCSTR, DWORD) override { return E_NOTIMPL; }
    HRESULT Resolve(HWND, DWORD) override {
        return GetFileAttributesA(Link.TargetPath.c_str()) == INVALID_FILE_ATTRIBUTES ? S_FALSE
                                                                                      : S_OK;
    }
    // The target is stored in its full form, with what can be found out about
    // it now (attributes, times, size); a target that does not exist yet is
    // accepted.
    HRESULT SetPath(LPCSTR file) override {
        if (file == nullptr) {
            return E_INVALIDARG;
        }
        if (std::strlen(file) > MaxPathText) {
            return E_INVALIDARG;
        }
        Link.TargetPath = file[0] == '\0' ? std::string() : FullWindowsPath(file);
        Link.TargetAttributes = 0;
        Link.CreationTime = Link.AccessTime = Link.WriteTime = FILETIME{0, 0};
        Link.TargetSize = 0;
        Link.DriveType = DRIVE_FIXED;
        Link.DriveSerialNumber = 0;
        Dirty = true;
        if (!IsFullLocalPath(Link.TargetPath)) {
            return S_OK;
        }
        const char root[] = {Link.TargetPath[0], ':', '\\', '\0'};
        Link.DriveType = GetDriveTypeA(root);
        // A fixed number per drive letter: the machine's volumes have no
        // serial numbers of their own.
        Link.DriveSerialNumber = 0x52450000u | static_cast<uint8_t>(Link.TargetPath[0] & ~0x20);
        WIN32_FIND_DATAA found{};
        HANDLE search = FindFirstFileA(Link.TargetPath.c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) {
            return S_FALSE;
        }
        FindClose(search);
        Link.TargetAttributes = found.dwFileAttributes;
        Link.CreationTime = found.ftCreationTime;
        Link.AccessTime = found.ftLastAccessTime;
        Link.WriteTime = found.ftLastWriteTime;
        Link.TargetSize = found.nFileSizeLow;
        return S_OK;
    }

    // IPersistFile.
    HRESULT GetClassID(CLSID* classId) override {
        if (classId == nullptr) {
            return E_POINTER;
        }
        *classId = CLSID_ShellLink;
        return S_OK;
    }
    HRESULT IsDirty() override { return Dirty ? S_OK : S_FALSE; }
    HRESULT Load(LPCOLESTR fileName, DWORD) override {
        if (fileName == nullptr) {
            return E_POINTER;
        }
        const std::string path = AnsiPath(fileName);
        HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            return SaveFailure(GetLastError());
        }
        std::vector<uint8_t> bytes;
        uint8_t block[4096];
        DWORD count = 0;
        while (ReadFile(file, block, sizeof block, &count, nullptr) && count > 0) {
            bytes.insert(bytes.end(), block, block + count);
        }
        CloseHandle(file);
        auto link = DecodeShellLink(bytes);
        if (!link) {
            return E_FAIL;
        }
        Link = *link;
        CurrentFile = path;
        Dirty = false;
        return S_OK;
    }
    // Writes the whole file or nothing: a file that cannot be written in full
    // is removed again. An empty name is no file name at all.
    HRESULT Save(LPCOLESTR fileName, BOOL remember) override {
        std::string path = fileName == nullptr ? CurrentFile : AnsiPath(fileName);
        if (path.empty()) {
            return E_INVALIDARG;
        }
        const std::vector<uint8_t> bytes = EncodeShellLink(Link);
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            return SaveFailure(GetLastError());
        }
        DWORD written = 0;
        const BOOL wrote =
            WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        const DWORD writeError = GetLastError();
        const BOOL closed = CloseHandle(file);
        if (!wrote || written != bytes.size() || !closed) {
            DeleteFileA(path.c_str());
            return wrote ? E_FAIL : HresultFromWin32(writeError);
        }
        if (fileName == nullptr || remember) {
            CurrentFile = path;
            Dirty = false;
        }
        return S_OK;
    }
    HRESULT SaveCompleted(LPCOLESTR) override { return S_OK; }
    // Handing out the name needs the COM task allocator, which this machine
    // does not offer.
    HRESULT GetCurFile(LPWSTR* fileName) override {
        if (fileName != nullptr) {
            *fileName = nullptr;
        }
        return E_NOTIMPL;
    }

  private:
    ~ShellLinkObject() = default;

    static HRESULT GetText(const std::string& text, LPSTR buffer, int size) {
        if (buffer == nullptr) {
            return E_POINTER;
        }
        CopyOut(text, buffer, size);
        return S_OK;
    }
    HRESULT SetText(std::string& property, LPCSTR text, size_t limit) {
        if (text == nullptr) {
            property.clear();
        } else {
            if (std::strlen(text) > limit) {
                return E_INVALIDARG;
            }
            property = text;
        }
        Dirty = true;
        return S_OK;
    }

    ULONG References = 1;
    unsigned Generation;
    ShellLinkData Link;
    std::string CurrentFile;
    bool Dirty = false;
};

} // namespace

IShellLinkA* MakeShellLinkObject() {
    return new ShellLinkObject();
}
