// The registry class of the runtime: a key opened on a path, whose subkeys
// serve as sections of string values.
#pragma once

#include "platform/win32.h"

#include <string>

class TRegIniFile {
  public:
    // Opens `keyPath` under HKEY_CURRENT_USER, creating it when missing.
    explicit TRegIniFile(const std::string& keyPath);
    ~TRegIniFile();
    TRegIniFile(const TRegIniFile&) = delete;
    TRegIniFile& operator=(const TRegIniFile&) = delete;

    // Changes the root key; the open key is closed.
    void SetRootKey(HKEY rootKey);
    HKEY RootKey() const { return Root; }
    // Opens `keyPath` under the root key, creating it when `canCreate`;
    // false when it cannot be opened.
    bool OpenKey(const std::string& keyPath, bool canCreate);
    void CloseKey();

    // The string value `ident` of subkey `section` of the open key; `fallback`
    // when the subkey or the value is missing. Raises ERegistryException for a
    // value that is neither a string nor an expandable string (taken as it
    // stands, unexpanded).
    std::string ReadString(const std::string& section, const std::string& ident,
                           const std::string& fallback);
    // Sets the string value `ident` in subkey `section`, creating the subkey.
    // Raises ERegistryException when the subkey cannot be created or the value
    // cannot be set.
    void WriteString(const std::string& section, const std::string& ident,
                     const std::string& value);

  private:
    HKEY Root = HKEY_CURRENT_USER;
    HKEY CurrentKey = nullptr;
};
