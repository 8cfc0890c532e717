// The shell's entry: the start-up window is the first object; the process runs until no window
// is loaded any more, or ends at once where the start-up sequence says so.
#include <windows.h>
#include <ole2.h>

#include "app/ShellWindows.h"
#include "browser/ComShutdown.h"
#include "browser/PageKeys.h"
#include "forms/Application.h"
#include "mainwindow/DdeService.h"
#include "mainwindow/WebMainFrm.h"
#include "startup/LoadFrm.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    using namespace xcyh2;
    // The windows' owner outlives the message loop and COM: what it holds after them are forms
    // whose windows are already gone.
    ShellWindows windows;
    // The start-up window's checks and its picture start first, on threads of their own.
    LoadFrm& load = windows.loadFrm();
    load.Initialize();
    // Keys typed into a page reach it as in a browser, after the main window's own (the tab
    // switches, the zoom keys and Ctrl+wheel) are taken out.
    forms::Application::SetKeyFilter([&windows](MSG& msg) {
        return windows.TranslateKey(msg) || browser::TranslatePageAccelerator(msg);
    });
    load.Load();
    if (load.IsLoaded()) load.Show(SW_SHOWNORMAL);
    // The browser controls are COM objects that want a single-threaded apartment. COM starts
    // once the loading picture is up, and before the message loop, where the login window
    // loads its browser.
    HRESULT ole = ::OleInitialize(nullptr);
    // Another program may ask for a game page from now on, before the main window exists. The
    // service starts once the loading picture is up: registering it costs start-up time, and no
    // request is answered before the message loop runs anyway.
    DdeService dde;
    dde.Start(ShellDdeServiceName(), [&windows](const std::wstring& command) { return windows.webMainFrm().DdeExecute(command); });
    // No window loaded at all means the start-up window could not be made: not a success.
    int exitCode = forms::Application::LoadedCount() > 0 ? forms::Application::Run() : 1;

    dde.Stop();
    // Whichever way the windows went, every browser object goes before COM does.
    browser::ReleaseBeforeComShutdown();
    if (SUCCEEDED(ole)) ::OleUninitialize();
    return exitCode;
}
