// The running program as a module of the machine.
#pragma once

#include "platform/api/win32_types.h"

// The instance handle of the running program; what GetModuleHandleA(nullptr)
// gives.
HMODULE RunningModuleHandle();

// True for the handles that name the running program: null and its own.
bool IsRunningModule(HMODULE module);
