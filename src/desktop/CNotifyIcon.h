// One icon of a window in the taskbar's notification area, with a tool tip and a balloon. One
// notification record (the system's 488-byte ANSI layout) is kept for the object's life and
// handed to the shell for every operation; the owner window receives the icon's mouse
// notifications as message XCYH2_WM_TRAY with wParam 1000. The icon goes with the object.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>
#include "resources/ResourceIds.h"

namespace xcyh2::desktop {

inline constexpr UINT kNotifyIconId = 1000;
inline constexpr UINT kNotifyCallbackMessage = XCYH2_WM_TRAY;
inline constexpr UINT kNotifyFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO;  // 23

// The notification record: the system's ANSI record up to the balloon flags, the layout every
// version of the shell understands with a balloon.
struct NotifyRecord {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    HICON hIcon;
    CHAR szTip[128];
    DWORD dwState;
    DWORD dwStateMask;
    CHAR szInfo[256];
    UINT uTimeout;
    CHAR szInfoTitle[64];
    DWORD dwInfoFlags;
};

// The shell call, replaceable so tests can read the records sent.
using ShellNotifyFunction = BOOL(WINAPI*)(DWORD dwMessage, PNOTIFYICONDATAA lpData);

class CNotifyIcon {
public:
    // No function: the system's, loaded on first use.
    explicit CNotifyIcon(ShellNotifyFunction shell = nullptr);
    ~CNotifyIcon();  // removes the icon
    CNotifyIcon(const CNotifyIcon&) = delete;
    CNotifyIcon& operator=(const CNotifyIcon&) = delete;

    void AddNotifyIcon(HWND hWnd, HICON hIcon, const std::wstring& strTip);
    void ModifyNotifyIcon(HWND hWnd, HICON hIcon, const std::wstring& strTip);
    // eInfoFlags: the balloon's NIIF_ icon flags.
    void ShowBubble(const std::wstring& strTitle, const std::wstring& strInfo, DWORD eInfoFlags);
    void HideBubble();
    void DeleteNotifyIcon();

private:
    void SetIcon(HWND hWnd, HICON hIcon, const std::wstring& strTip);
    void Send(DWORD message);

    ShellNotifyFunction shell_;
    NotifyRecord record_{};
};

}  // namespace xcyh2::desktop
