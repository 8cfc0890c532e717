// The baselines of the start-up benchmark. bare_window: the least a Win32 program does to show
// one window. bare_checks_window (XCYH2_BARE_CHECKS): the same program that first makes the two
// checks the shell must make before any window, the connection state and one HTTP GET of the
// manifest, as plainly as the platform allows: the floor of the shell's start-up order.
#include <windows.h>
#ifdef XCYH2_BARE_CHECKS
#include <wininet.h>

#include "base/Settings.h"
#endif

static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

#ifdef XCYH2_BARE_CHECKS
static void CheckAndFetchManifest() {
    DWORD flags = 0;
    InternetGetConnectedState(&flags, 0);
    HINTERNET session = InternetOpenW(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!session) return;
    HINTERNET request = InternetOpenUrlW(session, xcyh2::settings::kUpdateManifestUrl, nullptr, 0,
                                         INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);
    if (request) {
        char buffer[8192];
        DWORD got = 0;
        while (InternetReadFile(request, buffer, sizeof(buffer), &got) && got > 0) {
        }
        InternetCloseHandle(request);
    }
    InternetCloseHandle(session);
}
static const wchar_t kTitle[] = L"bare-checks-window";
#else
static const wchar_t kTitle[] = L"bare-window";
#endif

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
#ifdef XCYH2_BARE_CHECKS
    CheckAndFetchManifest();
#endif
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.lpszClassName = L"BareWindow";
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH));
    RegisterClassW(&wc);
    int x = (GetSystemMetrics(SM_CXSCREEN) - 356) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - 122) / 2;
    HWND hwnd = CreateWindowExW(0, L"BareWindow", kTitle, WS_POPUP, x, y, 356, 122, nullptr, nullptr, instance, nullptr);
    ShowWindow(hwnd, SW_SHOW);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}
