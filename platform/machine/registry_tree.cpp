#include "platform/machine/registry_tree.h"

#include "platform/api/advapi32.h"
#include "platform/machine/kernel_code_page.h"

RegistryTree::RegistryTree() {
    for (int index = 0; index < RegistryRootCount; ++index) {
        Roots[index].Name = RegistryRootName(static_cast<RegistryRoot>(index));
    }
}

const char* RegistryRootName(RegistryRoot root) {
    switch (root) {
    case RegistryRoot::ClassesRoot:
        return "HKEY_CLASSES_ROOT";
    case RegistryRoot::CurrentUser:
        return "HKEY_CURRENT_USER";
    case RegistryRoot::LocalMachine:
        return "HKEY_LOCAL_MACHINE";
    case RegistryRoot::Users:
        return "HKEY_USERS";
    }
    return "";
}

bool RegistryRootOfHandle(HKEY key, RegistryRoot& root) {
    if (key == HKEY_CLASSES_ROOT) {
        root = RegistryRoot::ClassesRoot;
    } else if (key == HKEY_CURRENT_USER) {
        root = RegistryRoot::CurrentUser;
    } else if (key == HKEY_LOCAL_MACHINE) {
        root = RegistryRoot::LocalMachine;
    } else if (key == HKEY_USERS) {
        root = RegistryRoot::Users;
    } else {
        return false;
    }
    return true;
}

std::vector<std::string> SplitKeyPath(const std::string& path) {
    std::vector<std::string> components;
    std::string component;
    for (std::size_t index = 0; index <= path.size(); ++index) {
        if (index == path.size() || path[index] == '\\') {
            if (!component.empty()) {
                components.push_back(component);
            }
            component.clear();
        } else {
            component.push_back(path[index]);
        }
    }
    return components;
}

RegistryKey* FindRegistryKey(RegistryKey& key, const std::vector<std::string>& path) {
    RegistryKey* current = &key;
    for (const std::string& component : path) {
        const auto found = current->SubKeys.find(FoldAnsiCase(component));
        if (found == current->SubKeys.end()) {
            return nullptr;
        }
        current = found->second.get();
    }
    return current;
}

RegistryKey& CreateRegistryKey(RegistryKey& key, const std::vector<std::string>& path) {
    RegistryKey* current = &key;
    for (const std::string& component : path) {
        std::unique_ptr<RegistryKey>& child = current->SubKeys[FoldAnsiCase(component)];
        if (!child) {
            child = std::make_unique<RegistryKey>();
            child->Name = component;
        }
        current = child.get();
    }
    return *current;
}

void SetRegistryValue(RegistryKey& key, const std::string& name, DWORD type,
                      std::vector<uint8_t> data) {
    RegistryValue& value = key.Values[FoldAnsiCase(name)];
    if (value.Name.empty()) {
        value.Name = name;
    }
    value.Type = type;
    value.Data = std::move(data);
}

const RegistryValue* FindRegistryValue(const RegistryKey& key, const std::string& name) {
    const auto found = key.Values.find(FoldAnsiCase(name));
    return found == key.Values.end() ? nullptr : &found->second;
}

std::vector<uint8_t> RegistryStringData(const std::string& text) {
    std::vector<uint8_t> data(text.begin(), text.end());
    data.push_back(0);
    return data;
}

void AddFreshWindowsValues(RegistryTree& tree) {
    RegistryKey& localMachine = tree.Roots[static_cast<int>(RegistryRoot::LocalMachine)];
    RegistryKey& currentVersion = CreateRegistryKey(
        localMachine, SplitKeyPath("SOFTWARE\\Microsoft\\Windows\\CurrentVersion"));
    SetRegistryValue(currentVersion, "ProgramFilesDir", REG_SZ,
                     RegistryStringData("C:\\Program Files"));
    CreateRegistryKey(currentVersion, SplitKeyPath("Uninstall"));

    RegistryKey& currentUser = tree.Roots[static_cast<int>(RegistryRoot::CurrentUser)];
    RegistryKey& shellFolders = CreateRegistryKey(
        currentUser,
        SplitKeyPath("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"));
    SetRegistryValue(shellFolders, "Programs", REG_SZ,
                     RegistryStringData("C:\\WINDOWS\\Start Menu\\Programs"));
    SetRegistryValue(shellFolders, "Startup", REG_SZ,
                     RegistryStringData("C:\\WINDOWS\\Start Menu\\Programs\\StartUp"));
}
