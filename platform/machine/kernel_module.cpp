// The running program's module: its handle, its file's Windows path, and
// the end of the process.
#include "platform/machine/kernel_module.h"

#include "platform/api/kernel32.h"
#include "platform/machine/kernel_code_page.h"
#include "platform/machine/kernel_state.h"
#include "platform/machine/machine.h"
#include "platform/machine/paths.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <system_error>

namespace {

constexpr DWORD ErrorModNotFound = 126;

std::filesystem::path RunningProgramHostPath() {
    const MachineConfig& config = CurrentMachineConfig();
    if (!config.RunningProgram.empty()) {
        return std::filesystem::absolute(config.RunningProgram);
    }
    std::error_code ignored;
    return std::filesystem::read_symlink("/proc/self/exe", ignored);
}

} // namespace

HMODULE RunningModuleHandle() {
    return reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x00400000));
}

bool IsRunningModule(HMODULE module) {
    return module == nullptr || module == RunningModuleHandle();
}

HMODULE GetModuleHandleA(LPCSTR moduleName) {
    EnsureMachineStarted();
    if (moduleName == nullptr) {
        return RunningModuleHandle();
    }
    // Only the program itself is loaded; it answers to its file name, with or
    // without a folder in front.
    std::string name = moduleName;
    const auto separator = name.find_last_of("\\/:");
    if (separator != std::string::npos) {
        name = name.substr(separator + 1);
    }
    const std::string ownName = AnsiFromUtf8(RunningProgramHostPath().filename().string());
    if (EqualIgnoringAnsiCase(name, ownName)) {
        return RunningModuleHandle();
    }
    SetKernelError(ErrorModNotFound);
    return nullptr;
}

DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) {
    EnsureMachineStarted();
    if (!IsRunningModule(module)) {
        SetKernelError(ErrorModNotFound);
        return 0;
    }
    if (fileName == nullptr || size == 0) {
        SetKernelError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    const std::string path = WindowsPathFromHostPath(RunningProgramHostPath());
    if (path.size() >= size) {
        // Cut to fit and terminated, as Windows does from Vista on.
        std::memcpy(fileName, path.data(), size - 1);
        fileName[size - 1] = '\0';
        SetKernelError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    std::memcpy(fileName, path.c_str(), path.size() + 1);
    return static_cast<DWORD>(path.size());
}

void ExitProcess(UINT exitCode) {
    // The registry is saved after every change and files are closed by the
    // host, so nothing is lost by skipping the static destructors, which
    // could otherwise run in the middle of a dialog's stack.
    std::fflush(nullptr);
    std::_Exit(static_cast<int>(exitCode));
}
