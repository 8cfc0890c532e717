// The main window's own hook, held: F10 and the tray's clicks (ModMsg) from Hook until Release,
// or until the holder goes.
#pragma once

#include <windows.h>

#include <functional>
#include <utility>

#include "mainwindow/ModMsg.h"

namespace xcyh2 {

class MainHotKey {
public:
    MainHotKey() = default;
    ~MainHotKey() { Release(); }
    MainHotKey(const MainHotKey&) = delete;
    MainHotKey& operator=(const MainHotKey&) = delete;

    // onTrayMenu: a right click on the tray icon.
    void Hook(HWND hwnd, std::function<void()> onTrayMenu) {
        Release();
        ModMsg::HookMainWindow(hwnd, std::move(onTrayMenu));
        hwnd_ = hwnd;
    }
    void Release() {
        if (HWND hwnd = std::exchange(hwnd_, nullptr)) ModMsg::UnhookMainWindow(hwnd);
    }

private:
    HWND hwnd_ = nullptr;
};

}  // namespace xcyh2
