// The main window's own hook: the global hot key F10 and the tray icon's callback message.
// HookMainWindow registers the hot key and puts MainWindowProc in front of the window's
// procedure; every message, handled or not, then goes on to the procedure it replaced.
// The procedure is set and called through the wide functions, so the window stays a Unicode
// window and its captions and page titles are not squeezed through the ANSI code page.
#pragma once

#include <windows.h>

#include <functional>
#include "resources/ResourceIds.h"

namespace xcyh2::ModMsg {

inline constexpr int kHotKeyId = 1000;
inline constexpr UINT kHotKey = VK_F10;
inline constexpr UINT kTrayMessage = XCYH2_WM_TRAY;  // the tray icon's callback

// onTrayMenu pops up the main window's menu (a right click on the tray icon).
void HookMainWindow(HWND hWnd, std::function<void()> onTrayMenu = {});
// Releases the hot key and puts the kept procedure back. When another hook has been installed
// on top in the meantime, the procedure stays in the chain and only passes messages on until
// the window is gone, so that hook's own chain is not cut.
void UnhookMainWindow(HWND hWnd);
LRESULT CALLBACK MainWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

// Whether F10 could be registered for the window (another program may hold it).
bool HotKeyRegistered(HWND hWnd);
// Whether the window's messages pass through MainWindowProc's handling.
bool Hooked(HWND hWnd);

}  // namespace xcyh2::ModMsg
