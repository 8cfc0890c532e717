#include "mainwindow/MainCommands.h"

#include <utility>

#include "base/EventLog.h"
#include "base/ScopedFlag.h"

namespace xcyh2 {

void MainCommands::PostClose(HWND hwnd) {
    closePending_ = true;
    ::PostMessageW(hwnd, close_.message, 0, 0);
}

void MainCommands::PostUpdate(HWND hwnd) {
    if (updatePosted_ || updateRunning_) return;
    updatePosted_ = true;
    ::PostMessageW(hwnd, update_.message, 0, 0);
}

bool MainCommands::Run(UINT msg) {
    if (msg == close_.message) {
        if (!std::exchange(closePending_, false)) return true;
        try {
            close_.run();
        } catch (...) {
            ReportCurrentException(L"WebMainFrm.CloseCommand");
        }
        return true;
    }
    if (msg == update_.message) {
        if (!std::exchange(updatePosted_, false) || updateRunning_) return true;
        ScopedFlag running(updateRunning_);
        try {
            update_.run();
        } catch (...) {
            ReportCurrentException(L"WebMainFrm.update");
        }
        return true;
    }
    return false;
}

}  // namespace xcyh2
