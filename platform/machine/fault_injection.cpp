#include "platform/machine/fault_injection.h"

#include "platform/api/kernel32.h"
#include "platform/machine/kernel_code_page.h"
#include "platform/machine/kernel_state.h"
#include "platform/machine/machine.h"
#include "platform/machine/paths.h"

#include <map>
#include <stdexcept>

namespace {

enum class WriteFaultKind { None, Fail, DiskFull };

struct FileFault {
    WriteFaultKind WriteKind = WriteFaultKind::None;
    int64_t WritesLeft = 0;
    bool ReadFails = false;
    int64_t ReadsLeft = 0;
};

// Keyed by the folded full Windows path.
std::map<std::string, FileFault> Faults;
int64_t RegistryCrashPoint = -2;

std::string FaultKey(const std::string& windowsPath) {
    EnsureMachineStarted();
    WindowsPath full;
    DWORD error = 0;
    if (!NormaliseWindowsPath(windowsPath, false, full, error)) {
        throw std::invalid_argument("not a usable Windows path for a fault: " + windowsPath);
    }
    return FoldAnsiCase(full.Text());
}

FileFault* FaultOf(const std::string& fullWindowsPath) {
    if (Faults.empty()) {
        return nullptr;
    }
    const auto found = Faults.find(FoldAnsiCase(fullWindowsPath));
    return found == Faults.end() ? nullptr : &found->second;
}

} // namespace

void FailWritesTo(const std::string& windowsPath) {
    FileFault& fault = Faults[FaultKey(windowsPath)];
    fault.WriteKind = WriteFaultKind::Fail;
}

void FillDiskAfter(const std::string& windowsPath, int64_t bytes) {
    FileFault& fault = Faults[FaultKey(windowsPath)];
    fault.WriteKind = WriteFaultKind::DiskFull;
    fault.WritesLeft = bytes < 0 ? 0 : bytes;
}

void FailReadsFrom(const std::string& windowsPath, int64_t afterBytes) {
    FileFault& fault = Faults[FaultKey(windowsPath)];
    fault.ReadFails = true;
    fault.ReadsLeft = afterBytes < 0 ? 0 : afterBytes;
}

void ClearFileFaults() {
    Faults.clear();
    RegistryCrashPoint = -2;
}

void CrashNextRegistrySave(int64_t afterBytes) {
    RegistryCrashPoint = afterBytes < 0 ? -1 : afterBytes;
}

int64_t TakeRegistryCrashPoint() {
    const int64_t point = RegistryCrashPoint;
    RegistryCrashPoint = -2;
    return point;
}

DWORD WritableBytesUnderFaults(const std::string& fullWindowsPath, DWORD requested, DWORD& error) {
    FileFault* fault = FaultOf(fullWindowsPath);
    if (fault == nullptr || fault->WriteKind == WriteFaultKind::None) {
        return requested;
    }
    if (fault->WriteKind == WriteFaultKind::Fail) {
        error = ERROR_WRITE_FAULT;
        return 0;
    }
    if (fault->WritesLeft >= static_cast<int64_t>(requested)) {
        return requested;
    }
    error = ERROR_DISK_FULL;
    return static_cast<DWORD>(fault->WritesLeft);
}

DWORD ReadableBytesUnderFaults(const std::string& fullWindowsPath, DWORD requested, DWORD& error) {
    FileFault* fault = FaultOf(fullWindowsPath);
    if (fault == nullptr || !fault->ReadFails ||
        fault->ReadsLeft >= static_cast<int64_t>(requested)) {
        return requested;
    }
    error = ERROR_READ_FAULT;
    return static_cast<DWORD>(fault->ReadsLeft);
}

void CountWrittenBytes(const std::string& fullWindowsPath, DWORD bytes) {
    if (FileFault* fault = FaultOf(fullWindowsPath); fault != nullptr) {
        fault->WritesLeft = fault->WritesLeft > bytes ? fault->WritesLeft - bytes : 0;
    }
}

void CountReadBytes(const std::string& fullWindowsPath, DWORD bytes) {
    if (FileFault* fault = FaultOf(fullWindowsPath); fault != nullptr) {
        fault->ReadsLeft = fault->ReadsLeft > bytes ? fault->ReadsLeft - bytes : 0;
    }
}
