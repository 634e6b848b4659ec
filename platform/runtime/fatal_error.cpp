#include "platform/runtime/fatal_error.h"

#include "platform/win32.h"

#include <cstdio>
#include <cstdlib>

void ReportFatalError(const std::string& caption, const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
    // The box may never be answered (a headless run whose input has ended)
    // or may fail in the very machinery whose failure is being reported;
    // the exit code must not depend on it.
    try {
        MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_ICONERROR | MB_TASKMODAL);
    } catch (...) {
    }
    std::fflush(nullptr);
    std::_Exit(1);
}
