// Message boxes: the player-facing texts go through the wide functions; the caption is "提示"
// unless a caller names another.
#pragma once

#include <windows.h>

#include <string>

namespace xcyh2::forms {

int MsgBox(const std::wstring& text, UINT flags, const std::wstring& caption = L"提示", HWND owner = nullptr);

}  // namespace xcyh2::forms
