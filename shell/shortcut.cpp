#include "shell/shortcut.h"

#include "app/install_state.h"
#include "app/installer_settings.h"
#include "app/join_path.h"
#include "platform/runtime/reg_ini_file.h"

#include <string>

namespace {

// The link path goes to the shell as UTF-16 in a buffer of this many
// characters, terminating zero included.
constexpr int LinkPathCapacity = 255;

std::string ShellFolder() {
    TRegIniFile registry("Software\\microsoft\\windows\\currentversion\\explorer");
    return registry.ReadString("Shell Folders", StartWithSystem ? "startup" : "programs", "");
}

// A path that does not fit converts to the empty name, which no file can
// have, so nothing is written for it.
void ConvertLinkPath(const std::string& path, WCHAR (&wide)[LinkPathCapacity]) {
    const int converted = MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()),
                                              wide, LinkPathCapacity - 1);
    wide[converted] = 0;
}

} // namespace

void CreateProductShortcut() {
    const std::string folder = ShellFolder();

    CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    const HRESULT created = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                             IID_IShellLinkA, reinterpret_cast<LPVOID*>(&link));
    // Without the object, or without its file interface, there is nothing to
    // save: the installation goes on without a shortcut.
    if (FAILED(created) || link == nullptr) {
        return;
    }
    link->SetPath(JoinPath(DestinationDir, Settings.MainProgramFile).c_str());
    link->SetWorkingDirectory(DestinationDir.c_str());
    link->SetShowCmd(SW_SHOWNORMAL);
    IPersistFile* file = nullptr;
    const HRESULT found = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (FAILED(found) || file == nullptr) {
        link->Release();
        return;
    }

    WCHAR linkPath[LinkPathCapacity];
    ConvertLinkPath(JoinPath(folder, GroupName + ".LNK"), linkPath);
    file->Save(linkPath, FALSE);
    // Released although the process ends soon after: nothing depends on the
    // object any more, and a leak checker then sees no stray objects.
    file->Release();
    link->Release();
}
