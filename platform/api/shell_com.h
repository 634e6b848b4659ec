// The shell's program launcher (shell32) and the COM pieces of the shell link
// object (ole32), declared from the documented API for the subset this
// program uses. Interfaces list their methods in their documented order.
#pragma once

#include "platform/api/kernel32.h"

#define S_OK ((HRESULT)0)
#define S_FALSE ((HRESULT)1)
#define E_NOTIMPL ((HRESULT)0x80004001u)
#define E_NOINTERFACE ((HRESULT)0x80004002u)
#define E_POINTER ((HRESULT)0x80004003u)
#define E_FAIL ((HRESULT)0x80004005u)
#define E_INVALIDARG ((HRESULT)0x80070057u)
#define E_OUTOFMEMORY ((HRESULT)0x8007000Eu)
#define REGDB_E_CLASSNOTREG ((HRESULT)0x80040154u)
#define STG_E_ACCESSDENIED ((HRESULT)0x80030005u)
#define STG_E_PATHNOTFOUND ((HRESULT)0x80030003u)
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)

#define CLSCTX_INPROC_SERVER 0x1u

struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
};
typedef GUID IID;
typedef GUID CLSID;
typedef const GUID& REFIID;
typedef const GUID& REFCLSID;

inline bool operator==(const GUID& a, const GUID& b) {
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) {
        return false;
    }
    for (int i = 0; i < 8; ++i) {
        if (a.Data4[i] != b.Data4[i]) {
            return false;
        }
    }
    return true;
}

inline constexpr CLSID CLSID_ShellLink = {
    0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IShellLinkA = {
    0x000214EE, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IPersistFile = {
    0x0000010B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

struct ITEMIDLIST;
typedef const ITEMIDLIST* PCIDLIST_ABSOLUTE;
typedef ITEMIDLIST* PIDLIST_ABSOLUTE;

typedef uint32_t ULONG;

struct IUnknown {
    virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

  protected:
    ~IUnknown() = default;
};

struct IShellLinkA : IUnknown {
    virtual HRESULT GetPath(LPSTR file, int size, WIN32_FIND_DATAA* findData, DWORD flags) = 0;
    virtual HRESULT GetIDList(PIDLIST_ABSOLUTE* list) = 0;
    virtual HRESULT SetIDList(PCIDLIST_ABSOLUTE list) = 0;
    virtual HRESULT GetDescription(LPSTR name, int size) = 0;
    virtual HRESULT SetDescription(LPCSTR name) = 0;
    virtual HRESULT GetWorkingDirectory(LPSTR directory, int size) = 0;
    virtual HRESULT SetWorkingDirectory(LPCSTR directory) = 0;
    virtual HRESULT GetArguments(LPSTR arguments, int size) = 0;
    virtual HRESULT SetArguments(LPCSTR arguments) = 0;
    virtual HRESULT GetHotkey(WORD* hotkey) = 0;
    virtual HRESULT SetHotkey(WORD hotkey) = 0;
    virtual HRESULT GetShowCmd(int* showCommand) = 0;
    virtual HRESULT SetShowCmd(int showCommand) = 0;
    virtual HRESULT GetIconLocation(LPSTR iconPath, int size, int* iconIndex) = 0;
    virtual HRESULT SetIconLocation(LPCSTR iconPath, int iconIndex) = 0;
    virtual HRESULT SetRelativePath(LPCSTR relativePath, DWORD reserved) = 0;
    virtual HRESULT Resolve(HWND window, DWORD flags) = 0;
    virtual HRESULT SetPath(LPCSTR file) = 0;

  protected:
    ~IShellLinkA() = default;
};

struct IPersist : IUnknown {
    virtual HRESULT GetClassID(CLSID* classId) = 0;

  protected:
    ~IPersist() = default;
};

struct IPersistFile : IPersist {
    virtual HRESULT IsDirty() = 0;
    virtual HRESULT Load(LPCOLESTR fileName, DWORD mode) = 0;
    virtual HRESULT Save(LPCOLESTR fileName, BOOL remember) = 0;
    virtual HRESULT SaveCompleted(LPCOLESTR fileName) = 0;
    virtual HRESULT GetCurFile(LPWSTR* fileName) = 0;

  protected:
    ~IPersistFile() = default;
};

HRESULT CoInitialize(LPVOID reserved);
void CoUninitialize();
HRESULT CoCreateInstance(REFCLSID classId, IUnknown* outer, DWORD context, REFIID iid,
                         LPVOID* object);

HINSTANCE ShellExecuteA(HWND owner, LPCSTR operation, LPCSTR file, LPCSTR parameters,
                        LPCSTR directory, INT showCommand);
