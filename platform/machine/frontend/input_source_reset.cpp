#include "platform/machine/frontend/front_end.h"
#include "platform/machine/input_source.h"
#include "platform/machine/machine.h"

namespace {

FrontEndKind RunningFrontEnd = FrontEndKind::Headless;

bool MachineInput(bool mayBlock) {
    return PollFrontEnd(mayBlock);
}

} // namespace

FrontEndKind CurrentFrontEnd() {
    return RunningFrontEnd;
}

bool PollFrontEnd(bool /*mayBlock*/) {
    return false;
}

void PresentFrontEnd() {}

void ResetInputSource() {
    RunningFrontEnd = FrontEndKind::Headless;
    SetInputSource(MachineInput);
}
