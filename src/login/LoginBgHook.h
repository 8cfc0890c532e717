// The login background's window-procedure hook: while it is in place, every move of the
// background takes the login page window along, top-left corners together. The previous
// procedure is kept in one module-wide slot, so one window at a time can be hooked.
#pragma once

#include <windows.h>

namespace xcyh2 {

void HookLoginBg(HWND hwnd);
void UnhookLoginBg(HWND hwnd);
LRESULT CALLBACK LoginBgWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace xcyh2
