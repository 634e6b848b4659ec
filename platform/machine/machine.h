// The simulated machine as a whole: its settings and its start. Only the
// machine, its front ends and tests include this; the installer never does.
#pragma once

#include <filesystem>
#include <string>

// The machine's own settings, normally read from its environment variables
// (see MachineConfigFromEnvironment and the README).
struct MachineConfig {
    // Host folder holding the whole machine: drive C:'s tree and the registry.
    std::filesystem::path Folder;
    int ScreenWidth = 1024;
    int ScreenHeight = 768;
    // HKEY_LOCAL_MACHINE refuses writes, as on a non-administrator's machine.
    bool ReadOnlyLocalMachine = false;
    // "headless", "window", or "auto" (window when a display is there).
    std::string FrontEnd = "auto";
    // Script of the scripted user; empty for none.
    std::filesystem::path UserScript;
    // Where screenshots go when a script names no folder.
    std::filesystem::path ScreenshotFolder;
    // Host path that GetModuleFileNameA reports (as a Windows path) for the
    // running program; empty means the real executable.
    std::filesystem::path RunningProgram;
};

MachineConfig MachineConfigFromEnvironment();

// Starts (or restarts) the machine with `config`: creates the machine folder
// with a fresh Windows' folders and registry on first use, and resets every
// part of the machine's process state (open files, registry cache, windows,
// drawing objects, input source, shell records).
void StartMachine(const MachineConfig& config);

// Starts the machine from the environment unless it was started already.
void EnsureMachineStarted();

const MachineConfig& CurrentMachineConfig();

// Resets of the machine's parts, called by StartMachine in this order.
void ResetKernelState();
void ResetRegistry();
void ResetResources();
void ResetGdi();
void ResetWindowManager();
void ResetInputSource();
void ResetShell();
