#include "forms/MsgBox.h"

namespace xcyh2::forms {

int MsgBox(const std::wstring& text, UINT flags, const std::wstring& caption, HWND owner) {
    return ::MessageBoxW(owner, text.c_str(), caption.c_str(), flags);
}

}  // namespace xcyh2::forms
