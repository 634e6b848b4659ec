#include "platform/machine/frontend/front_end.h"
#include "platform/machine/png_writer.h"
#include "platform/machine/window_surfaces.h"

void SaveScreenshot(const std::filesystem::path& png) {
    const MachineConfig& config = CurrentMachineConfig();
    Surface screen;
    screen.Resize(config.ScreenWidth, config.ScreenHeight);
    ComposeScreen(screen);
    WritePng(screen, png);
}
