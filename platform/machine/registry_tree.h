// The registry in memory: one tree of keys under each root key. Key and
// value names are Windows-1252 and compared without regard to case; each keeps
// the spelling it was first written with. Values hold their bytes as the
// ANSI calls see them (a string with its terminating zero).
#pragma once

#include "platform/api/win32_types.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct RegistryValue {
    std::string Name; // empty for the key's default value
    DWORD Type = 0;
    std::vector<uint8_t> Data;
};

struct RegistryKey {
    std::string Name;
    // Keyed by the folded name, so iteration is in name order.
    std::map<std::string, std::unique_ptr<RegistryKey>> SubKeys;
    std::map<std::string, RegistryValue> Values;
};

enum class RegistryRoot { ClassesRoot, CurrentUser, LocalMachine, Users };
constexpr int RegistryRootCount = 4;

struct RegistryTree {
    RegistryKey Roots[RegistryRootCount];
    RegistryTree();
};

// "HKEY_CURRENT_USER" and so on.
const char* RegistryRootName(RegistryRoot root);
// The root of a predefined handle (HKEY_CURRENT_USER ...); false for others.
bool RegistryRootOfHandle(HKEY key, RegistryRoot& root);

// The components of a key path: split at backslashes, empty ones dropped.
std::vector<std::string> SplitKeyPath(const std::string& path);

// The key at `path` below `key`; null when a component is missing.
RegistryKey* FindRegistryKey(RegistryKey& key, const std::vector<std::string>& path);

// The key at `path` below `key`, creating the missing components.
RegistryKey& CreateRegistryKey(RegistryKey& key, const std::vector<std::string>& path);

void SetRegistryValue(RegistryKey& key, const std::string& name, DWORD type,
                      std::vector<uint8_t> data);
const RegistryValue* FindRegistryValue(const RegistryKey& key, const std::string& name);

// A string value's bytes: the text followed by its terminating zero.
std::vector<uint8_t> RegistryStringData(const std::string& text);

// The values a fresh Windows has and the installer reads: ProgramFilesDir
// and the Programs and Startup shell folders (and the empty Uninstall key).
void AddFreshWindowsValues(RegistryTree& tree);
