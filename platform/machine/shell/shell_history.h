// What the shell was asked to do since the machine started: every
// ShellExecuteA request, and the state of COM on the one thread. Tests read
// these to say what the program started and whether it used COM properly.
#pragma once

#include "platform/api/win32_types.h"

#include <optional>
#include <string>
#include <vector>

// One ShellExecuteA call as the program made it. A null text argument is
// recorded as no value, so "no verb" and an empty verb stay apart.
struct ShellExecuteRequest {
    HWND Owner = nullptr;
    std::optional<std::string> Verb;
    std::optional<std::string> File;
    std::optional<std::string> Parameters;
    std::optional<std::string> Directory;
    int ShowCommand = 0;
    // What ShellExecuteA returned: above 32 on success, an error code otherwise.
    intptr_t Result = 0;
    // The host program that was started, and its host working directory;
    // empty when nothing was started.
    std::string HostProgram;
    std::string HostDirectory;
};

const std::vector<ShellExecuteRequest>& ShellExecuteHistory();

// How many CoInitialize calls are not yet matched by CoUninitialize.
int ComInitializeDepth();
// How many shell link objects exist (made and not yet released to zero).
int LiveShellLinkObjects();

// Faults a test can make the shell link object show, until the machine
// restarts: the class cannot be made at all, or the object it makes has no
// IPersistFile.
enum class ShellLinkFault { None, ClassNotRegistered, NoPersistFile };
void SetShellLinkFault(ShellLinkFault fault);
