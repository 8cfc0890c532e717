#include "forms/Application.h"

namespace xcyh2::forms {
namespace {
int g_loadedForms = 0;  // the runtime's count of loaded windows
}

void Application::FormLoaded() { ++g_loadedForms; }

void Application::FormUnloaded() {
    // The loop ends once the message that took the count to zero has been handled, not at
    // once: a handler may unload the last window and load the next one (the login page's
    // start command unloads the login windows, then opens the main window).
    if (g_loadedForms > 0) --g_loadedForms;
}

int Application::LoadedCount() { return g_loadedForms; }

int Application::Run() {
    if (g_loadedForms == 0) return 0;
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
        if (g_loadedForms == 0) return 0;
    }
    return static_cast<int>(msg.wParam);
}

void Application::DoEvents() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Keep the quit for the main loop.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void Application::EndAtOnce(UINT exitCode) { ::ExitProcess(exitCode); }

}  // namespace xcyh2::forms
