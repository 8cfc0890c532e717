#include "mainwindow/MainFrame.h"

#include "base/rounding.h"
#include "base/twips.h"

namespace xcyh2 {

void MainFrame::Create(HWND hwnd, int width) {
    hwnd_ = hwnd;
    surface_.SetBackColor(RGB(255, 255, 255));
    WebBForm_.Create(hwnd, 0, 0, width, {{L"HasLogo", true}});
    WebBForm_.MouseMove = [](short&, short&, float&, float&) { ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW)); };
}

void MainFrame::SetWindowStyle(std::function<void()> closeClick) {
    objStyle_ = std::make_unique<winhooks::cSetStyle>();
    objStyle_->set_objForm(hwnd_);
    objStyle_->SetWindowStyle(hwnd_);
    objStyle_->CloseClick = std::move(closeClick);
    WebBForm_.SetfrmHwnd(hwnd_);
}

void MainFrame::Centre() const {
    RECT r{};
    ::GetWindowRect(hwnd_, &r);
    int width = PixelsToTwips(r.right - r.left), height = PixelsToTwips(r.bottom - r.top);
    int left = RoundHalfEven(PixelsToTwips(::GetSystemMetrics(SM_CXSCREEN)) - width) / 2;
    int top = RoundHalfEven(PixelsToTwips(::GetSystemMetrics(SM_CYSCREEN)) - height) / 2;
    ::SetWindowPos(hwnd_, nullptr, TwipsToPixels(left), TwipsToPixels(top), 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool MainFrame::CallWindowStateChange() {
    bool maximised = objStyle_ && objStyle_->CallWindowStateChange();
    WebBForm_.SetfrmHwnd(maximised ? nullptr : hwnd_);
    return maximised;
}

void MainFrame::Resize(int width, int height, int clientWidth, int clientHeight) {
    WebBForm_.Move(0, 0, width, height);
    surface_.Resize(clientWidth, clientHeight);
    WebBForm_.Printform(surface_);
    ::InvalidateRect(hwnd_, nullptr, FALSE);
}

}  // namespace xcyh2
