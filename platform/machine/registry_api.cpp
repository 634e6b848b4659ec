// The registry calls of advapi32 over the in-memory tree, saved to the
// machine folder's registry.reg after every change. With the machine's
// ReadOnlyLocalMachine setting, creating keys, setting and deleting values
// and deleting keys under HKEY_LOCAL_MACHINE fail with ERROR_ACCESS_DENIED, as
// for a user who is not an administrator; reading and opening still work.
#include "platform/api/advapi32.h"
#include "platform/api/kernel32.h"
#include "platform/machine/kernel_code_page.h"
#include "platform/machine/kernel_state.h"
#include "platform/machine/machine.h"
#include "platform/machine/registry_file.h"
#include "platform/machine/registry_tree.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <system_error>

namespace {

constexpr LONG ErrorKeyDeleted = 1018;

struct OpenKey {
    RegistryRoot Root = RegistryRoot::CurrentUser;
    std::vector<std::string> Path;
    REGSAM Access = 0;
};

RegistryTree Tree;
std::map<HKEY, OpenKey> OpenKeys;
uintptr_t NextKeyValue = 0x2000;
// The text last saved, to fall back to when a save fails.
std::string SavedText;

std::filesystem::path RegistryFilePath() {
    return CurrentMachineConfig().Folder / "registry.reg";
}

// The open key behind a handle (the predefined roots have every right).
bool Resolve(HKEY handle, OpenKey& key) {
    RegistryRoot root;
    if (RegistryRootOfHandle(handle, root)) {
        key = OpenKey{root, {}, KEY_ALL_ACCESS};
        return true;
    }
    const auto found = OpenKeys.find(handle);
    if (found == OpenKeys.end()) {
        return false;
    }
    key = found->second;
    return true;
}

RegistryKey* KeyOf(const OpenKey& key) {
    return FindRegistryKey(Tree.Roots[static_cast<int>(key.Root)], key.Path);
}

// The tree key behind a handle, or the error that the call must give.
LONG Lookup(HKEY handle, OpenKey& key, RegistryKey*& node) {
    if (!Resolve(handle, key)) {
        return ERROR_INVALID_HANDLE;
    }
    node = KeyOf(key);
    return node == nullptr ? ErrorKeyDeleted : ERROR_SUCCESS;
}

bool RefusesWrites(const OpenKey& key) {
    return key.Root == RegistryRoot::LocalMachine && CurrentMachineConfig().ReadOnlyLocalMachine;
}

// Saves the tree after a change; when the save fails the change is undone
// from the last saved text, so memory never holds what the disk does not.
LONG SaveAfterChange() {
    const std::string text = RegistryText(Tree);
    if (SaveRegistryFile(RegistryFilePath(), text)) {
        SavedText = text;
        return ERROR_SUCCESS;
    }
    const LONG error = static_cast<LONG>(WindowsErrorFromErrno(errno));
    Tree = RegistryTree();
    ParseRegistryText(SavedText, Tree);
    return error;
}

HKEY NewKeyHandle(const OpenKey& key) {
    NextKeyValue += 4;
    const HKEY handle = reinterpret_cast<HKEY>(NextKeyValue);
    OpenKeys.emplace(handle, key);
    return handle;
}

std::vector<std::string> Joined(const std::vector<std::string>& base, const std::string& subKey) {
    std::vector<std::string> path = base;
    for (const std::string& component : SplitKeyPath(subKey)) {
        path.push_back(component);
    }
    return path;
}

std::string ValueName(LPCSTR name) {
    return name == nullptr ? std::string() : std::string(name);
}

// A fresh registry: the values of a new Windows, written out at once.
void StartFreshRegistry() {
    Tree = RegistryTree();
    AddFreshWindowsValues(Tree);
    SavedText = RegistryText(Tree);
    if (!SaveRegistryFile(RegistryFilePath(), SavedText)) {
        std::fprintf(stderr, "The machine could not write its registry file %s: %s\n",
                     RegistryFilePath().c_str(), std::strerror(errno));
    }
}

} // namespace

void ResetRegistry() {
    OpenKeys.clear();
    const std::filesystem::path file = RegistryFilePath();
    std::ifstream stream(file, std::ios::binary);
    if (!stream) {
        StartFreshRegistry();
        return;
    }
    const std::string text((std::istreambuf_iterator<char>(stream)),
                           std::istreambuf_iterator<char>());
    try {
        Tree = RegistryTree();
        ParseRegistryText(text, Tree);
        SavedText = RegistryText(Tree);
    } catch (const std::runtime_error& error) {
        // Kept aside rather than overwritten, so nothing of it is lost.
        const std::filesystem::path aside = file.string() + ".unreadable";
        std::error_code ignored;
        std::filesystem::rename(file, aside, ignored);
        std::fprintf(stderr,
                     "The machine's registry file %s cannot be read (%s); it was moved to %s "
                     "and a fresh registry started.\n",
                     file.c_str(), error.what(), aside.c_str());
        StartFreshRegistry();
    }
}

LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD /*reserved*/, LPSTR /*keyClass*/,
                     DWORD /*options*/, REGSAM desired,
                     LPSECURITY_ATTRIBUTES /*securityAttributes*/, HKEY* result,
                     LPDWORD disposition) {
    EnsureMachineStarted();
    if (result == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    *result = nullptr;
    OpenKey base;
    RegistryKey* node = nullptr;
    if (const LONG error = Lookup(key, base, node); error != ERROR_SUCCESS) {
        return error;
    }
    OpenKey opened{base.Root, Joined(base.Path, subKey == nullptr ? "" : subKey), desired};
    const bool exists = KeyOf(opened) != nullptr;
    if (!exists) {
        if (RefusesWrites(base) || (base.Access & KEY_CREATE_SUB_KEY) == 0) {
            return ERROR_ACCESS_DENIED;
        }
        CreateRegistryKey(Tree.Roots[static_cast<int>(opened.Root)], opened.Path);
        if (const LONG error = SaveAfterChange(); error != ERROR_SUCCESS) {
            return error;
        }
    }
    *result = NewKeyHandle(opened);
    if (disposition != nullptr) {
        *disposition = exists ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
    }
    return ERROR_SUCCESS;
}

LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD /*options*/, REGSAM desired, HKEY* result) {
    EnsureMachineStarted();
    if (result == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    *result = nullptr;
    OpenKey base;
    RegistryKey* node = nullptr;
    if (const LONG error = Lookup(key, base, node); error != ERROR_SUCCESS) {
        return error;
    }
    OpenKey opened{base.Root, Joined(base.Path, subKey == nullptr ? "" : subKey), desired};
    if (KeyOf(opened) == nullptr) {
        return ERROR_FILE_NOT_FOUND;
    }
    *result = NewKeyHandle(opened);
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
    EnsureMachineStarted();
    RegistryRoot root;
    if (RegistryRootOfHandle(key, root)) {
        return ERROR_SUCCESS;
    }
    return OpenKeys.erase(key) == 1 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD /*reserved*/, LPDWORD type, LPBYTE data,
                      LPDWORD dataSize) {
    EnsureMachineStarted();
    OpenKey opened;
    RegistryKey* node = nullptr;
    if (const LONG error = Lookup(key, opened, node); error != ERROR_SUCCESS) {
        return error;
    }
    if ((opened.Access & KEY_QUERY_VALUE) == 0) {
        return ERROR_ACCESS_DENIED;
    }
    if (data != nullptr && dataSize == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    const RegistryValue* value = FindRegistryValue(*node, ValueName(valueName));
    if (value == nullptr) {
        return ERROR_FILE_NOT_FOUND;
    }
    if (type != nullptr) {
        *type = value->Type;
    }
    const auto size = static_cast<DWORD>(value->Data.size());
    if (dataSize == nullptr) {
        return ERROR_SUCCESS;
    }
    if (data != nullptr && *dataSize < size) {
        *dataSize = size;
        return ERROR_MORE_DATA;
    }
    if (data != nullptr && size > 0) {
        std::memcpy(data, value->Data.data(), size);
    }
    *dataSize = size;
    return ERROR_SUCCESS;
}

LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD /*reserved*/, DWORD type, const BYTE* data,
                    DWORD dataSize) {
    EnsureMachineStarted();
    OpenKey opened;
    RegistryKey* node = nullptr;
    if (const LONG error = Lookup(key, opened, node); error != ERROR_SUCCESS) {
        return error;
    }
    if ((opened.Access & KEY_SET_VALUE) == 0 || RefusesWrites(opened)) {
        return ERROR_ACCESS_DENIED;
    }
    if (data == nullptr && dataSize > 0) {
        return ERROR_INVALID_PARAMETER;
    }
    std::vector<uint8_t> bytes;
    if (dataSize > 0) {
        bytes.assign(data, data + dataSize);
    }
    SetRegistryValue(*node, ValueName(valueName), type, std::move(bytes));
    return SaveAfterChange();
}

LONG RegDeleteValueA(HKEY key, LPCSTR valueName) {
    EnsureMachineStarted();
    OpenKey opened;
    RegistryKey* node = nullptr;
    if (const LONG error = Lookup(key, opened, node); error != ERROR_SUCCESS) {
        return error;
    }
    if ((opened.Access & KEY_SET_VALUE) == 0 || RefusesWrites(opened)) {
        return ERROR_ACCESS_DENIED;
    }
    if (node->Values.erase(FoldAnsiCase(ValueName(valueName))) == 0) {
        return ERROR_FILE_NOT_FOUND;
    }
    return SaveAfterChange();
}

LONG RegDeleteKeyA(HKEY key, LPCSTR subKey) {
    EnsureMachineStarted();
    OpenKey base;
    RegistryKey* node = nullptr;
    if (const LONG error = Lookup(key, base, node); error != ERROR_SUCCESS) {
        return error;
    }
    if (subKey == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    const std::vector<std::string> path = Joined(base.Path, subKey);
    if (path.empty()) {
        return ERROR_ACCESS_DENIED; // a root key cannot be deleted
    }
    RegistryKey& rootKey = Tree.Roots[static_cast<int>(base.Root)];
    RegistryKey* target = FindRegistryKey(rootKey, path);
    if (target == nullptr) {
        return ERROR_FILE_NOT_FOUND;
    }
    // As in Windows, a key with subkeys is not deleted by this call.
    if (RefusesWrites(base) || !target->SubKeys.empty()) {
        return ERROR_ACCESS_DENIED;
    }
    RegistryKey* parent =
        FindRegistryKey(rootKey, std::vector<std::string>(path.begin(), path.end() - 1));
    for (auto it = parent->SubKeys.begin(); it != parent->SubKeys.end(); ++it) {
        if (it->second.get() == target) {
            parent->SubKeys.erase(it);
            break;
        }
    }
    return SaveAfterChange();
}
