// The baseline of the start-up benchmark: the least a Win32 program does to show one window.
#include <windows.h>

static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.lpszClassName = L"BareWindow";
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH));
    RegisterClassW(&wc);
    int x = (GetSystemMetrics(SM_CXSCREEN) - 356) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - 122) / 2;
    HWND hwnd = CreateWindowExW(0, L"BareWindow", L"bare-window", WS_POPUP, x, y, 356, 122, nullptr, nullptr,
                                instance, nullptr);
    ShowWindow(hwnd, SW_SHOW);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}
