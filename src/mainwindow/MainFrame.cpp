#include "mainwindow/MainFrame.h"

#include "base/rounding.h"

namespace xcyh2 {

void MainFrame::Create(HWND hwnd, int width, const DpiScale& scale) {
    hwnd_ = hwnd;
    scale_ = scale;
    surface_.SetBackColor(RGB(255, 255, 255));
    surface_.SetDpi(scale.Dpi());
    WebBForm_.SetScale(scale);
    WebBForm_.Create(hwnd, 0, 0, width, {{L"HasLogo", true}});
    WebBForm_.MouseMove = [](short&, short&, float&, float&) { ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW)); };
}

void MainFrame::SetWindowStyle(std::function<void()> closeClick) {
    objStyle_ = std::make_unique<winhooks::cSetStyle>();
    objStyle_->set_objForm(hwnd_);
    objStyle_->SetScale(scale_);
    objStyle_->SetWindowStyle(hwnd_);
    objStyle_->CloseClick = std::move(closeClick);
    WebBForm_.SetfrmHwnd(hwnd_);
}

void MainFrame::SetScale(const DpiScale& scale) {
    scale_ = scale;
    surface_.SetDpi(scale.Dpi());
    WebBForm_.SetScale(scale);
    if (objStyle_) objStyle_->SetScale(scale);
}

void MainFrame::Centre() const {
    RECT r{};
    ::GetWindowRect(hwnd_, &r);
    int width = scale_.PixelsToTwips(r.right - r.left), height = scale_.PixelsToTwips(r.bottom - r.top);
    int left = RoundHalfEven(scale_.PixelsToTwips(::GetSystemMetrics(SM_CXSCREEN)) - width) / 2;
    int top = RoundHalfEven(scale_.PixelsToTwips(::GetSystemMetrics(SM_CYSCREEN)) - height) / 2;
    ::SetWindowPos(hwnd_, nullptr, scale_.TwipsToPixels(left), scale_.TwipsToPixels(top), 0, 0,
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
