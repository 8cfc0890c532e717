// The shell's entry: the start-up window is the first object; the process runs until no window
// is loaded any more, or ends at once where the start-up sequence says so.
#include <windows.h>
#include <ole2.h>

#include "forms/Application.h"
#include "startup/LoadFrm.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // The browser controls are COM objects that want a single-threaded apartment.
    HRESULT ole = ::OleInitialize(nullptr);
    auto& load = xcyh2::LoadFrm::Instance();
    load.Load();
    if (load.IsLoaded()) load.Show(SW_SHOWNORMAL);
    // No window loaded at all means the start-up window could not be made: not a success.
    int exitCode = xcyh2::forms::Application::LoadedCount() > 0 ? xcyh2::forms::Application::Run() : 1;
    if (SUCCEEDED(ole)) ::OleUninitialize();
    return exitCode;
}
