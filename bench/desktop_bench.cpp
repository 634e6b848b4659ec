// The desktop's two hot paths: PeekMessageA on an empty queue (the unpacking
// stage calls it once per input byte) and a full-screen repaint as the
// backdrop does it (one brush created, used and deleted per pixel row), with
// the composition of the screen that a front end then shows.
#include "platform/machine/scripted_user.h"
#include "platform/machine/window_surfaces.h"
#include "platform/win32.h"
#include "tests/support/test_machine.h"

#include <benchmark/benchmark.h>

namespace {

void EmptyPeekMessage(benchmark::State& state) {
    TestMachine machine;
    MSG message{};
    for (auto _ : state) {
        benchmark::DoNotOptimize(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    }
}
BENCHMARK(EmptyPeekMessage);

// The same with the scripted user waiting for a window that does not come:
// the input source that PeekMessageA polls now has work to do.
void EmptyPeekMessageWhileAScriptWaits(benchmark::State& state) {
    TestMachine machine;
    BeginScript();
    ScriptWaitForWindow("A window that never comes", 24 * 60 * 60 * 1000);
    MSG message{};
    for (auto _ : state) {
        benchmark::DoNotOptimize(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    }
}
BENCHMARK(EmptyPeekMessageWhileAScriptWaits);

LRESULT PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

void FullScreenRepaint(benchmark::State& state) {
    TestMachine machine;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = PlainWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "BenchBackdrop";
    RegisterClassA(&windowClass);
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    const HWND window =
        CreateWindowExA(0, "BenchBackdrop", "Installation", WS_POPUP | WS_VISIBLE, 0, 0, width,
                        height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    Surface screen;
    screen.Resize(width, height);
    for (auto _ : state) {
        const HDC dc = GetDC(window);
        for (int row = 0; row < height; ++row) {
            const HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255 - row / 3));
            const RECT band{0, row, width, row + 1};
            FillRect(dc, &band, brush);
            DeleteObject(brush);
        }
        ReleaseDC(window, dc);
        ComposeScreen(screen);
        benchmark::DoNotOptimize(screen.Pixels.data());
    }
    // The figure means something only if the rows really reached the screen.
    const auto lastRowBlue = static_cast<uint32_t>(255 - (height - 1) / 3);
    if (screen.At(0, 0) != 0x0000FF || screen.At(width - 1, height - 1) != lastRowBlue) {
        state.SkipWithError("the repaint did not reach the composed screen");
    }
    DestroyWindow(window);
}
BENCHMARK(FullScreenRepaint)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
