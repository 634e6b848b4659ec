// The shell's process state inside the machine, shared by its COM, shell link
// and launcher files. Nothing outside platform/machine/shell/ includes this.
#pragma once

#include "platform/machine/shell/shell_history.h"

#include <vector>

struct ShellState {
    std::vector<ShellExecuteRequest> Requests;
    int InitializeDepth = 0;
    int LiveLinks = 0;
    ShellLinkFault LinkFault = ShellLinkFault::None;
    // Advanced by every reset, so an object made before it does not count
    // itself out of the new machine's records when it is released.
    unsigned Generation = 0;
};

ShellState& TheShellState();
