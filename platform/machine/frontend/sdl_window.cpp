#include "platform/machine/frontend/sdl_window.h"

#include "platform/machine/frontend/sdl_input.h"
#include "platform/machine/window_surfaces.h"

#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

using Clock = std::chrono::steady_clock;

// About 60 frames a second: more is invisible, and composing the screen is
// not free while the program works.
constexpr auto FrameInterval = std::chrono::milliseconds(16);

// How long a waiting program sleeps in SDL at most before it looks at the
// screen again.
constexpr int WaitMilliseconds = 10;

struct SdlWindowState {
    SDL_Window* Window = nullptr;
    int Width = 0;
    int Height = 0;
    Surface Screen;
    bool Shown = false;
    uint64_t ShownGeneration = 0;
    Clock::time_point ShownAt{};
};

SdlWindowState WindowState;

[[noreturn]] void EndBecauseWindowClosed() {
    std::fputs("The machine's window was closed; the program ends.\n", stderr);
    std::fflush(stderr);
    CloseSdlWindow();
    SDL_Quit();
    std::exit(2);
}

// Handles one SDL event; true when it was a key or button that the program
// must see before the next one is delivered.
bool HandleEvent(const SDL_Event& event) {
    if (event.type == SDL_QUIT ||
        (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE)) {
        EndBecauseWindowClosed();
    }
    if (event.type == SDL_WINDOWEVENT && (event.window.event == SDL_WINDOWEVENT_EXPOSED ||
                                          event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)) {
        WindowState.Shown = false;
        return false;
    }
    const std::optional<InputEvent> input = InputEventFromSdlEvent(event);
    if (!input) {
        return false;
    }
    DeliverInputEvent(*input);
    return input->EventKind != InputEvent::Kind::MouseMove;
}

} // namespace

bool StartSdlVideo() {
    // Ctrl+C in the terminal should end the program as usual, not arrive as
    // a closed window.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
}

bool OpenSdlWindow(int width, int height, std::string& reason) {
    if (WindowState.Window != nullptr && WindowState.Width == width &&
        WindowState.Height == height) {
        WindowState.Shown = false;
        return true;
    }
    CloseSdlWindow();
    if (!StartSdlVideo()) {
        reason = SDL_GetError();
        return false;
    }
    SDL_Window* window = SDL_CreateWindow("Rembrix Setup machine", SDL_WINDOWPOS_CENTERED,
                                          SDL_WINDOWPOS_CENTERED, width, height, 0);
    if (window == nullptr) {
        reason = SDL_GetError();
        return false;
    }
    WindowState.Window = window;
    WindowState.Width = width;
    WindowState.Height = height;
    WindowState.Shown = false;
    return true;
}

void CloseSdlWindow() {
    if (WindowState.Window != nullptr) {
        SDL_DestroyWindow(WindowState.Window);
    }
    WindowState = SdlWindowState{};
}

void PumpSdlWindow(bool mayBlock) {
    if (WindowState.Window == nullptr) {
        return;
    }
    SDL_Event event;
    if (mayBlock) {
        if (SDL_PollEvent(&event) == 0 && SDL_WaitEventTimeout(&event, WaitMilliseconds) == 0) {
            return;
        }
        if (HandleEvent(event)) {
            return;
        }
    }
    while (SDL_PollEvent(&event) != 0) {
        if (HandleEvent(event)) {
            return;
        }
    }
}

void PresentSdlWindow() {
    if (WindowState.Window == nullptr) {
        return;
    }
    const Clock::time_point now = Clock::now();
    const uint64_t generation = ScreenGeneration();
    if (WindowState.Shown &&
        (generation == WindowState.ShownGeneration || now - WindowState.ShownAt < FrameInterval)) {
        return;
    }
    WindowState.Screen.Resize(WindowState.Width, WindowState.Height);
    ComposeScreen(WindowState.Screen);
    SDL_Surface* target = SDL_GetWindowSurface(WindowState.Window);
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(
        WindowState.Screen.Pixels.data(), WindowState.Screen.Width, WindowState.Screen.Height, 32,
        WindowState.Screen.Width * 4, SDL_PIXELFORMAT_RGB888);
    if (target == nullptr || source == nullptr) {
        SDL_FreeSurface(source);
        return;
    }
    SDL_BlitSurface(source, nullptr, target, nullptr);
    SDL_FreeSurface(source);
    SDL_UpdateWindowSurface(WindowState.Window);
    WindowState.Shown = true;
    WindowState.ShownGeneration = generation;
    WindowState.ShownAt = now;
}

bool ReadSdlWindowPixels(Surface& shown) {
    if (WindowState.Window == nullptr) {
        return false;
    }
    SDL_Surface* window = SDL_GetWindowSurface(WindowState.Window);
    if (window == nullptr) {
        return false;
    }
    shown.Resize(window->w, window->h);
    return SDL_ConvertPixels(window->w, window->h, window->format->format, window->pixels,
                             window->pitch, SDL_PIXELFORMAT_RGB888, shown.Pixels.data(),
                             window->w * 4) == 0;
}
