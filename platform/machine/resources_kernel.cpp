// The kernel's resource calls over the machine's resource table. A resource
// is found by name (without regard to case) and by one of the integer types;
// HRSRC and HGLOBAL are both the table's record.
#include "platform/api/kernel32.h"
#include "platform/machine/kernel_module.h"
#include "platform/machine/kernel_state.h"
#include "platform/machine/machine.h"
#include "platform/machine/resources_store.h"

namespace {

const ResourceRecord* RecordOf(const void* handle) {
    return IsResourceRecord(handle) ? static_cast<const ResourceRecord*>(handle) : nullptr;
}

} // namespace

HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
    EnsureMachineStarted();
    if (!IsRunningModule(module)) {
        SetKernelError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    // Only named resources of the integer types exist in this program.
    if (name == nullptr || IS_INTRESOURCE(name) || type == nullptr || !IS_INTRESOURCE(type)) {
        SetKernelError(type != nullptr && !IS_INTRESOURCE(type) ? ERROR_RESOURCE_TYPE_NOT_FOUND
                                                                : ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    const auto typeNumber = static_cast<uint16_t>(reinterpret_cast<uintptr_t>(type));
    const ResourceRecord* record = FindResourceRecord(name, typeNumber);
    if (record == nullptr) {
        SetKernelError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<HRSRC>(const_cast<ResourceRecord*>(record));
}

HGLOBAL LoadResource(HMODULE module, HRSRC resourceInfo) {
    EnsureMachineStarted();
    if (!IsRunningModule(module) || RecordOf(resourceInfo) == nullptr) {
        SetKernelError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    return static_cast<HGLOBAL>(resourceInfo);
}

LPVOID LockResource(HGLOBAL resourceData) {
    EnsureMachineStarted();
    const ResourceRecord* record = RecordOf(resourceData);
    if (record == nullptr) {
        return nullptr;
    }
    return const_cast<uint8_t*>(record->ResourceBytes.data());
}

DWORD SizeofResource(HMODULE module, HRSRC resourceInfo) {
    EnsureMachineStarted();
    const ResourceRecord* record = RecordOf(resourceInfo);
    if (!IsRunningModule(module) || record == nullptr) {
        SetKernelError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return 0;
    }
    return static_cast<DWORD>(record->ResourceBytes.size());
}

BOOL FreeResource(HGLOBAL /*resourceData*/) {
    EnsureMachineStarted();
    // Resources live as long as the module; Win32 answers FALSE here.
    return FALSE;
}
