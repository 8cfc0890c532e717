#include "base/WindowScale.h"

#include "base/SystemLibraries.h"

namespace xcyh2 {

DpiScale WindowScale(HWND window) {
    sys::User32Dpi& user32 = sys::user32Dpi();
    if (window) {
        if (auto forWindow = user32.GetDpiForWindow.get()) {
            if (UINT dpi = forWindow(window)) return DpiScale(static_cast<int>(dpi));
        }
    }
    if (auto forSystem = user32.GetDpiForSystem.get()) return DpiScale(static_cast<int>(forSystem()));
    // Before Windows 10: one scale for every window, the screen's.
    HDC screen = ::GetDC(nullptr);
    int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : DpiScale::kBaseDpi;
    if (screen) ::ReleaseDC(nullptr, screen);
    return DpiScale(dpi);
}

}  // namespace xcyh2
