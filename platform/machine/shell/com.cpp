// COM on the program's one thread: initialisation counting and the one class
// the machine serves, the shell link object.
#include "platform/api/shell_com.h"
#include "platform/machine/shell/shell_link_object.h"
#include "platform/machine/shell/shell_state.h"

namespace {

constexpr HRESULT NotInitialized = static_cast<HRESULT>(0x800401F0u); // CO_E_NOTINITIALIZED
constexpr HRESULT NoAggregation = static_cast<HRESULT>(0x80040110u);  // CLASS_E_NOAGGREGATION

} // namespace

// The first call answers S_OK, every further one S_FALSE; each needs its own
// CoUninitialize.
HRESULT CoInitialize(LPVOID) {
    return TheShellState().InitializeDepth++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize() {
    if (TheShellState().InitializeDepth > 0) {
        --TheShellState().InitializeDepth;
    }
}

HRESULT CoCreateInstance(REFCLSID classId, IUnknown* outer, DWORD context, REFIID iid,
                         LPVOID* object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (TheShellState().InitializeDepth == 0) {
        return NotInitialized;
    }
    if (!(classId == CLSID_ShellLink) || (context & CLSCTX_INPROC_SERVER) == 0 ||
        TheShellState().LinkFault == ShellLinkFault::ClassNotRegistered) {
        return REGDB_E_CLASSNOTREG;
    }
    if (outer != nullptr) {
        return NoAggregation;
    }
    IShellLinkA* link = MakeShellLinkObject();
    const HRESULT result = link->QueryInterface(iid, object);
    link->Release();
    return result;
}
