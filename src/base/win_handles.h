// Owners for the platform's handles: one line per handle type.
#pragma once

#include <windows.h>
#include <wininet.h>

#include "base/unique_any.h"

namespace xcyh2 {

namespace detail {
inline void CloseFile(HANDLE h) { ::CloseHandle(h); }
inline void CloseGdiObject(HGDIOBJ h) { ::DeleteObject(h); }
inline void CloseDc(HDC h) { ::DeleteDC(h); }
inline void CloseIcon(HICON h) { ::DestroyIcon(h); }
inline void CloseFind(HANDLE h) { ::FindClose(h); }
inline void CloseWindow(HWND h) { ::DestroyWindow(h); }
void CloseInternet(HINTERNET h);  // through WinINet loaded on first use (SystemLibraries.cpp)
inline void CloseGlobal(HGLOBAL h) { ::GlobalFree(h); }
inline void CloseModule(HMODULE h) { ::FreeLibrary(h); }
inline void CloseMenu(HMENU h) { ::DestroyMenu(h); }
inline void CloseRegion(HRGN h) { ::DeleteObject(h); }
inline void CloseEventSource(HANDLE h) { ::DeregisterEventSource(h); }
}  // namespace detail

using unique_handle = unique_any<HANDLE, &detail::CloseFile>;
using unique_file = unique_any<HANDLE, &detail::CloseFile, -1>;
using unique_hfind = unique_any<HANDLE, &detail::CloseFind, -1>;
using unique_hgdiobj = unique_any<HGDIOBJ, &detail::CloseGdiObject>;
using unique_hbitmap = unique_any<HBITMAP, &detail::CloseGdiObject>;
using unique_hfont = unique_any<HFONT, &detail::CloseGdiObject>;
using unique_hbrush = unique_any<HBRUSH, &detail::CloseGdiObject>;
using unique_hpalette = unique_any<HPALETTE, &detail::CloseGdiObject>;
using unique_hrgn = unique_any<HRGN, &detail::CloseRegion>;
using unique_hdc = unique_any<HDC, &detail::CloseDc>;
using unique_hicon = unique_any<HICON, &detail::CloseIcon>;
using unique_hwnd = unique_any<HWND, &detail::CloseWindow>;
using unique_hinternet = unique_any<HINTERNET, &detail::CloseInternet>;
using unique_hglobal = unique_any<HGLOBAL, &detail::CloseGlobal>;
using unique_hmodule = unique_any<HMODULE, &detail::CloseModule>;
using unique_hmenu = unique_any<HMENU, &detail::CloseMenu>;
using unique_event_source = unique_any<HANDLE, &detail::CloseEventSource>;

// A window's device context from GetDC, given back with ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), hdc_(::GetDC(hwnd)) {}
    ~WindowDc() {
        if (hdc_) ::ReleaseDC(hwnd_, hdc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return hdc_; }

private:
    HWND hwnd_;
    HDC hdc_;
};

// Selects an object into a DC and puts the previous one back when it goes.
class SelectedObject {
public:
    SelectedObject(HDC hdc, HGDIOBJ obj) : hdc_(hdc), previous_(::SelectObject(hdc, obj)) {}
    ~SelectedObject() {
        if (hdc_ && previous_) ::SelectObject(hdc_, previous_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC hdc_;
    HGDIOBJ previous_;
};

}  // namespace xcyh2
