#include "base/SystemLibraries.h"

#include "base/win_handles.h"

namespace xcyh2::sys {

WinInet& wininet() {
    static WinInet table;
    return table;
}

BCrypt& bcrypt() {
    static BCrypt table;
    return table;
}

Version& version() {
    static Version table;
    return table;
}

User32Dpi& user32Dpi() {
    static User32Dpi table;
    return table;
}

Shell32& shell32() {
    static Shell32 table;
    return table;
}

ComCtl32& comctl32() {
    static ComCtl32 table;
    return table;
}

OleAut32& oleaut32() {
    static OleAut32 table;
    return table;
}

OleAcc& oleacc() {
    static OleAcc table;
    return table;
}

bool ShellOpen(const std::wstring& file, const std::wstring& parameters) {
    // ShellExecute's result is an error code of 32 or less, or a value above 32 on success.
    HINSTANCE result =
        shell32().ShellExecuteW.call_or(nullptr, nullptr, L"open", file.c_str(),
                                        parameters.empty() ? nullptr : parameters.c_str(), nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace xcyh2::sys

namespace xcyh2::detail {
void CloseInternet(HINTERNET h) { sys::wininet().InternetCloseHandle.call_or(FALSE, h); }
}  // namespace xcyh2::detail

namespace xcyh2::sys {

BOOL WINAPI ShellNotifyIconA(DWORD dwMessage, PNOTIFYICONDATAA lpData) {
    return shell32().Shell_NotifyIconA.call_or(FALSE, dwMessage, lpData);
}

}  // namespace xcyh2::sys
