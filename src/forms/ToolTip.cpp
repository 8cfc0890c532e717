#include "forms/ToolTip.h"

#include <commctrl.h>

#include "base/SystemLibraries.h"

namespace xcyh2::forms {

namespace {
TTTOOLINFOW ToolInfo(HWND tool, const std::wstring& text) {
    TTTOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = ::GetParent(tool);
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = const_cast<wchar_t*>(text.c_str());
    return info;
}
}  // namespace

ToolTip::~ToolTip() { Destroy(); }

bool ToolTip::Create(HWND tool) {
    Destroy();
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    sys::comctl32().InitCommonControlsEx.call_or(FALSE, &controls);
    tip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, ::GetAncestor(tool, GA_ROOT),
                             nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!tip_) return false;
    tool_ = tool;
    TTTOOLINFOW info = ToolInfo(tool_, text_);
    ::SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    return true;
}

void ToolTip::Destroy() {
    // The tip is owned by the tool's form and may have gone with it.
    if (tip_ && ::IsWindow(tip_)) ::DestroyWindow(tip_);
    tip_ = nullptr;
    tool_ = nullptr;
}

void ToolTip::SetText(const std::wstring& text) {
    text_ = text;
    if (!tip_) return;
    TTTOOLINFOW info = ToolInfo(tool_, text_);
    ::SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}

}  // namespace xcyh2::forms
