#include "app/install_state.h"

HINSTANCE ModuleInstance = nullptr;
std::string SourceDir;
std::string DestinationDir;
int32_t ScreenWidth = 0;
int32_t ScreenHeight = 0;
HWND BackdropWindow = nullptr;
HBITMAP LogoBitmap = nullptr;
char WindowsDir[256] = {};
std::string GroupName;
bool StartWithSystem = false;
FileTableList FileTable;
int32_t UnpackedSize = 0;
int32_t KeepGoing = 0;
uint8_t* InputBuffer = nullptr;
uint8_t* OutputBuffer = nullptr;
ReadBlockFn ReadCallback = nullptr;
WriteBlockFn WriteCallback = nullptr;
int32_t DialogResult = 0;
bool Aborted = false;

void ResetInstallState() {
    ModuleInstance = nullptr;
    SourceDir.clear();
    DestinationDir.clear();
    ScreenWidth = 0;
    ScreenHeight = 0;
    BackdropWindow = nullptr;
    LogoBitmap = nullptr;
    for (char& c : WindowsDir) {
        c = 0;
    }
    GroupName.clear();
    StartWithSystem = false;
    FileTable.clear();
    UnpackedSize = 0;
    KeepGoing = 0;
    delete[] InputBuffer;
    delete[] OutputBuffer;
    InputBuffer = nullptr;
    OutputBuffer = nullptr;
    ReadCallback = nullptr;
    WriteCallback = nullptr;
    DialogResult = 0;
    Aborted = false;
    FileOpenMode = 2;
}
