// A fresh simulated machine for one test: its own temporary machine folder,
// headless, removed again when the test ends.
#pragma once

#include "platform/machine/machine.h"

#include <filesystem>

class TestMachine {
  public:
    // Starts a fresh machine; `adjust` may change the settings first.
    explicit TestMachine(int screenWidth = 1024, int screenHeight = 768);
    explicit TestMachine(const MachineConfig& config);
    ~TestMachine();
    TestMachine(const TestMachine&) = delete;
    TestMachine& operator=(const TestMachine&) = delete;

    // The machine folder, and the host folder behind drive C:.
    const std::filesystem::path& Folder() const { return Config.Folder; }
    std::filesystem::path DriveC() const;
    // A scratch host folder outside the machine (distribution disks, fixtures).
    std::filesystem::path Scratch() const { return ScratchFolder; }

    MachineConfig Config;

  private:
    std::filesystem::path ScratchFolder;
};

// A temporary host folder, unique to this process and call.
std::filesystem::path MakeTemporaryFolder(const char* purpose);
