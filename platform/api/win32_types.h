// Basic types, handles and structures of the Win32 API, declared from the
// documented API for the subset this program uses. On the simulated machine
// every handle is an opaque pointer that only the machine interprets.
#pragma once

#include <cstddef>
#include <cstdint>

typedef int BOOL;
typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t UINT;
typedef int INT;
typedef char CHAR;
typedef char16_t WCHAR;
typedef uint16_t ATOM;
typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef DWORD COLORREF;
typedef int32_t HRESULT;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef WCHAR* LPWSTR;
typedef const WCHAR* LPCWSTR;
typedef const WCHAR* LPCOLESTR;
typedef DWORD* LPDWORD;
typedef BYTE* LPBYTE;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

#define DECLARE_WIN32_HANDLE(name)                                                                 \
    struct name##__;                                                                               \
    typedef name##__* name

typedef void* HANDLE;
typedef void* HGDIOBJ;
DECLARE_WIN32_HANDLE(HWND);
DECLARE_WIN32_HANDLE(HDC);
DECLARE_WIN32_HANDLE(HPEN);
DECLARE_WIN32_HANDLE(HBRUSH);
DECLARE_WIN32_HANDLE(HFONT);
DECLARE_WIN32_HANDLE(HBITMAP);
DECLARE_WIN32_HANDLE(HINSTANCE);
DECLARE_WIN32_HANDLE(HRSRC);
DECLARE_WIN32_HANDLE(HKEY);
DECLARE_WIN32_HANDLE(HMENU);
DECLARE_WIN32_HANDLE(HICON);
DECLARE_WIN32_HANDLE(HCURSOR);
typedef HINSTANCE HMODULE;
typedef HANDLE HGLOBAL;

#define INVALID_HANDLE_VALUE ((HANDLE)(intptr_t)-1)

// Integer resource identifiers travel in the pointer of a name.
#define MAKEINTRESOURCEA(id) ((LPSTR)(uintptr_t)(WORD)(id))
#define IS_INTRESOURCE(p) ((((uintptr_t)(p)) >> 16) == 0)

#define LOWORD(l) ((WORD)(((uintptr_t)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((uintptr_t)(l)) >> 16) & 0xffff))
#define MAKELONG(low, high) ((LONG)(((WORD)(low)) | (((DWORD)((WORD)(high))) << 16)))
#define MAKEWPARAM(low, high) ((WPARAM)(DWORD)MAKELONG(low, high))
#define MAKELPARAM(low, high) ((LPARAM)(DWORD)MAKELONG(low, high))

#define RGB(r, g, b) ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(c) ((BYTE)(c))
#define GetGValue(c) ((BYTE)(((WORD)(c)) >> 8))
#define GetBValue(c) ((BYTE)((c) >> 16))

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
typedef RECT* LPRECT;

struct POINT {
    LONG x;
    LONG y;
};

struct SIZE {
    LONG cx;
    LONG cy;
};

struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};

struct SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
};
typedef SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;

#define MAX_PATH 260
