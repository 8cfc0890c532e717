#include "mainwindow/MainTray.h"

#include <string>

#include "base/PublicData.h"
#include "base/Settings.h"

namespace xcyh2 {
namespace {

// The icon the window sends with WM_SETICON as its large one: 2, not ICON_BIG, as the login
// window does for its background.
constexpr WPARAM kLargeIcon = 2;

HICON LoadIconFile(int size) {
    std::wstring iconFile = GetTempDir() + settings::kIconFileName;
    return static_cast<HICON>(::LoadImageW(nullptr, iconFile.c_str(), IMAGE_ICON, size, size, LR_LOADFROMFILE));
}

}  // namespace

void MainTray::Add(HWND hwnd, desktop::ShellNotifyFunction shell) {
    hwnd_ = hwnd;
    // The sizes the taskbar and the tray show at the screen's scale (16 and 32 at 96 DPI).
    smallIcon_.reset(LoadIconFile(::GetSystemMetrics(SM_CXSMICON)));
    ::SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
    if (!notifyIcon_) notifyIcon_ = std::make_unique<desktop::CNotifyIcon>(shell);
    notifyIcon_->AddNotifyIcon(hwnd, smallIcon_.get(), settings::kWindowCaption);
    bigIcon_.reset(LoadIconFile(::GetSystemMetrics(SM_CXICON)));
    ::SendMessageW(hwnd, WM_SETICON, kLargeIcon, reinterpret_cast<LPARAM>(bigIcon_.get()));
}

bool MainTray::TaskbarCreated(UINT msg) {
    static const UINT taskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");
    if (msg != taskbarCreated || taskbarCreated == 0) return false;
    if (notifyIcon_) notifyIcon_->AddNotifyIcon(hwnd_, smallIcon_.get(), settings::kWindowCaption);
    return true;
}

void MainTray::Remove() {
    // The tray icon reports to the window: it goes with it, also when the process goes on (the
    // login window open for another account).
    notifyIcon_.reset();
    if (hwnd_) {
        ::SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, 0);
        ::SendMessageW(hwnd_, WM_SETICON, kLargeIcon, 0);
    }
    bigIcon_.reset();
    smallIcon_.reset();
    hwnd_ = nullptr;
}

}  // namespace xcyh2
