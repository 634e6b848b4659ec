// The registry class over the advapi32 calls alone. As in the class it is
// modelled on, a key path is relative to the open key unless it starts with
// a backslash, and with no key open the root key itself is the base.
#include "platform/runtime/reg_ini_file.h"

#include "platform/runtime/errors.h"

#include <vector>

namespace {

std::string ReasonFor(LONG errorCode) {
    char text[512] = {};
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                       static_cast<DWORD>(errorCode), 0, text, sizeof text, nullptr);
    std::string reason(text, length);
    while (!reason.empty() &&
           (reason.back() == '\r' || reason.back() == '\n' || reason.back() == ' ')) {
        reason.pop_back();
    }
    return reason.empty() ? "error " + std::to_string(errorCode) : reason;
}

} // namespace

TRegIniFile::TRegIniFile(const std::string& keyPath) {
    OpenKey(keyPath, true);
}

TRegIniFile::~TRegIniFile() {
    CloseKey();
}

void TRegIniFile::SetRootKey(HKEY rootKey) {
    CloseKey();
    Root = rootKey;
}

bool TRegIniFile::OpenKey(const std::string& keyPath, bool canCreate) {
    const bool absolute = !keyPath.empty() && keyPath[0] == '\\';
    const HKEY base = absolute || CurrentKey == nullptr ? Root : CurrentKey;
    const std::string path = absolute ? keyPath.substr(1) : keyPath;
    HKEY opened = nullptr;
    const LONG result =
        canCreate ? RegCreateKeyExA(base, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                    KEY_ALL_ACCESS, nullptr, &opened, nullptr)
                  : RegOpenKeyExA(base, path.c_str(), 0, KEY_ALL_ACCESS, &opened);
    if (result != ERROR_SUCCESS) {
        return false;
    }
    CloseKey();
    CurrentKey = opened;
    return true;
}

void TRegIniFile::CloseKey() {
    if (CurrentKey != nullptr) {
        RegCloseKey(CurrentKey);
        CurrentKey = nullptr;
    }
}

std::string TRegIniFile::ReadString(const std::string& section, const std::string& ident,
                                    const std::string& fallback) {
    const HKEY base = CurrentKey == nullptr ? Root : CurrentKey;
    HKEY sectionKey = nullptr;
    if (RegOpenKeyExA(base, section.c_str(), 0, KEY_READ, &sectionKey) != ERROR_SUCCESS) {
        return fallback;
    }
    DWORD type = 0;
    DWORD size = 0;
    LONG result = RegQueryValueExA(sectionKey, ident.c_str(), nullptr, &type, nullptr, &size);
    std::vector<BYTE> data(size + 1, 0);
    if (result == ERROR_SUCCESS) {
        result = RegQueryValueExA(sectionKey, ident.c_str(), nullptr, &type, data.data(), &size);
    }
    RegCloseKey(sectionKey);
    if (result != ERROR_SUCCESS) {
        return fallback;
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
        throw ERegistryException("Invalid data type for '" + ident + "'");
    }
    // The text ends at its first zero; a value stored without one ends at its size.
    std::string text(reinterpret_cast<const char*>(data.data()), size);
    const auto zero = text.find('\0');
    return zero == std::string::npos ? text : text.substr(0, zero);
}

void TRegIniFile::WriteString(const std::string& section, const std::string& ident,
                              const std::string& value) {
    const HKEY base = CurrentKey == nullptr ? Root : CurrentKey;
    HKEY sectionKey = nullptr;
    LONG result = RegCreateKeyExA(base, section.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_ALL_ACCESS, nullptr, &sectionKey, nullptr);
    if (result != ERROR_SUCCESS) {
        throw ERegistryException("Failed to create key " + section + ": " + ReasonFor(result));
    }
    result = RegSetValueExA(sectionKey, ident.c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>(value.size() + 1));
    RegCloseKey(sectionKey);
    if (result != ERROR_SUCCESS) {
        throw ERegistryException("Failed to set data for '" + ident + "': " + ReasonFor(result));
    }
}
