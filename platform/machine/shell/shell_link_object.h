// The shell link object that CoCreateInstance makes for CLSID_ShellLink:
// IShellLinkA for its properties and IPersistFile to save it as a link file.
#pragma once

#include "platform/api/shell_com.h"

// A new object with one reference, seen through IShellLinkA.
IShellLinkA* MakeShellLinkObject();
