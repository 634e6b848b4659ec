// The Windows API as the installer sees it. On this build the calls are
// answered by the simulated machine below platform/; a native build would
// include the system's own headers here instead.
#pragma once

#include "platform/api/win32_types.h"
#include "platform/api/kernel32.h"
#include "platform/api/user32.h"
#include "platform/api/gdi32.h"
#include "platform/api/advapi32.h"
#include "platform/api/shell_com.h"
