// The run-time state that the stages hand to each other. Every stage is a
// modal dialog that reads and writes these variables directly and returns
// only its end code.
#pragma once

#include "platform/runtime/file_layer.h"
#include "platform/win32.h"

#include <cstdint>
#include <list>
#include <string>

// One packed product file, as the setup trailer lists it.
struct FileEntry {
    std::string Name;   // up to 19 characters, as stored
    int32_t Offset = 0; // position of the file's first byte in the bundle
    int32_t Size = 0;   // the file's length in bytes
};

// The packed files other than the main program, in trailer order. The
// gathering stage appends to it; file placement walks it and then empties it.
using FileTableList = std::list<FileEntry>;

// Pulls up to `count` bytes into `buffer`; `actual` receives how many came.
using ReadBlockFn = void (*)(uint8_t* buffer, uint16_t count, uint16_t& actual);
// Consumes `count` bytes from `buffer`; `actual` receives how many were taken.
using WriteBlockFn = void (*)(const uint8_t* buffer, uint16_t count, uint16_t& actual);

extern HINSTANCE ModuleInstance;
extern std::string SourceDir;
extern std::string DestinationDir;
extern int32_t ScreenWidth;
extern int32_t ScreenHeight;
extern HWND BackdropWindow;
extern HBITMAP LogoBitmap;
extern char WindowsDir[256];
extern std::string GroupName;
extern bool StartWithSystem;
extern FileTableList FileTable;
extern int32_t UnpackedSize;
// 1 to go on, 0 to stop; the end code of each progress dialog.
extern int32_t KeepGoing;
extern uint8_t* InputBuffer;
extern uint8_t* OutputBuffer;
extern ReadBlockFn ReadCallback;
extern WriteBlockFn WriteCallback;
extern int32_t DialogResult;
extern bool Aborted;
// FileOpenMode is the file layer's (platform/runtime/file_layer.h).

// Size of each of the two unpacking buffers; the adapters use 2048 of them.
constexpr int32_t UnpackBufferSize = 2064;

// Puts every variable back to its initial value (FileOpenMode 2 included);
// for tests that run the installer more than once in one process.
void ResetInstallState();
