// The main window's icons and its tray icon: the small and the large window icon from the icon
// file the login window writes, and the icon in the notification area, which reports clicks to
// the window as the tray's callback message. All of it goes with Remove, or with the object.
#pragma once

#include <windows.h>

#include <memory>

#include "base/win_handles.h"
#include "desktop/CNotifyIcon.h"

namespace xcyh2 {

class MainTray {
public:
    MainTray() = default;
    ~MainTray() { Remove(); }
    MainTray(const MainTray&) = delete;
    MainTray& operator=(const MainTray&) = delete;

    // The small icon, the tray icon with the window's caption as its tip, then the large icon.
    // A missing icon file gives no handle: the window and the tray icon go on without one.
    // shell: the tray's shell call (none: the system's).
    void Add(HWND hwnd, desktop::ShellNotifyFunction shell);
    // A restarted taskbar has no icons: every program that shows one adds it again. True when
    // msg was the taskbar's announcement.
    bool TaskbarCreated(UINT msg);
    // The tray icon first, then the window's icons, in reverse order of creation.
    void Remove();

private:
    HWND hwnd_ = nullptr;
    unique_hicon smallIcon_, bigIcon_;
    std::unique_ptr<desktop::CNotifyIcon> notifyIcon_;
};

}  // namespace xcyh2
