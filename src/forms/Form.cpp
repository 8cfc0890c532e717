#include "forms/Form.h"

#include <windowsx.h>

#include "forms/Application.h"

namespace xcyh2::forms {

Form::~Form() {
    // An object going away takes its window with it, without the unload events.
    if (loaded_) {
        unloading_ = true;
        DestroyWin();
    }
}

HWND Form::hWnd() {
    if (!loaded_) Load();
    return handle();
}

void Form::Initialize() {
    if (initialized_) return;
    initialized_ = true;
    Form_Initialize();
}

void Form::Load() {
    if (loaded_) return;
    Initialize();
    if (!CreateWin(Design())) return;
    loaded_ = true;
    ++loads_;
    Application::FormLoaded();
    Form_Load();
}

void Form::Show(int command) {
    HWND hwnd = hWnd();
    if (hwnd) ::ShowWindow(hwnd, command);
}

void Form::Hide() {
    if (loaded_) ::ShowWindow(handle(), SW_HIDE);
}

bool Form::Unload() {
    if (!loaded_ || unloading_) return true;
    const std::uint64_t asked = loads_;
    bool cancel = false;
    Form_QueryUnload(cancel);
    if (cancel) return false;
    // The question may run a nested message loop, and a command in it may have unloaded this
    // form already (an update accepted from the tray menu), or unloaded and loaded it again:
    // what was asked about is gone either way.
    if (!loaded_ || unloading_ || loads_ != asked) return true;
    unloading_ = true;
    Form_Unload();
    DestroyWin();  // OnWindowGone does the bookkeeping
    return true;
}

void Form::OnWindowGone() {
    bool wasLoaded = loaded_;
    loaded_ = false;
    unloading_ = false;
    if (wasLoaded) Application::FormUnloaded();
}

void Form::SetCaption(const std::wstring& caption) {
    if (exists()) ::SetWindowTextW(handle(), caption.c_str());
}

std::wstring Form::Caption() const {
    if (!exists()) return {};
    int n = ::GetWindowTextLengthW(handle());
    std::wstring text(n + 1, L'\0');
    ::GetWindowTextW(handle(), text.data(), n + 1);
    text.resize(n);
    return text;
}

void Form::Minimize() {
    if (exists()) ::ShowWindow(handle(), SW_MINIMIZE);
}

LRESULT Form::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CLOSE:
            Unload();
            return 0;
        case WM_SIZE:
            Form_Resize();
            break;
        case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
            Form_MouseDown(ButtonFromMessage(msg, wParam), ShiftFromKeyState(wParam), GET_X_LPARAM(lParam),
                           GET_Y_LPARAM(lParam));
            return 0;
        case WM_MOUSEMOVE:
            Form_MouseMove(ButtonFromMessage(msg, wParam), ShiftFromKeyState(wParam), GET_X_LPARAM(lParam),
                           GET_Y_LPARAM(lParam));
            return 0;
        case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP:
            Form_MouseUp(ButtonFromMessage(msg, wParam), ShiftFromKeyState(wParam), GET_X_LPARAM(lParam),
                         GET_Y_LPARAM(lParam));
            return 0;
        case WM_DESTROY:
            // Destroyed from outside (or by its owner): the form unloads without asking.
            if (loaded_ && !unloading_) {
                unloading_ = true;
                Form_Unload();
            }
            break;
        default:
            break;
    }
    return Window::HandleMessage(msg, wParam, lParam);
}

}  // namespace xcyh2::forms
