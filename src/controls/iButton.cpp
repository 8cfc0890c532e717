#include "controls/iButton.h"

#include <windowsx.h>

#include "base/EventLog.h"
#include "base/twips.h"

namespace xcyh2 {

namespace {
constexpr wchar_t kClassName[] = L"Xcyh2iButton";
constexpr UINT_PTR kHoverTimer = 1;
constexpr UINT kHoverInterval = 50;

short KeyShift() {
    short shift = 0;
    if (::GetKeyState(VK_SHIFT) < 0) shift |= forms::kShiftMask;
    if (::GetKeyState(VK_CONTROL) < 0) shift |= forms::kCtrlMask;
    if (::GetKeyState(VK_MENU) < 0) shift |= forms::kAltMask;
    return shift;
}
}  // namespace

iButton::iButton() : core_(*this) {}

iButton::~iButton() {
    *alive_ = false;
    DestroyWin();
    // A screen reader may hold the accessible object longer: it answers nothing from now on.
    accessible_.Close();
    stateImages_.clear();
    if (palette_) ::SelectPalette(surface_.hdc(), static_cast<HPALETTE>(::GetStockObject(DEFAULT_PALETTE)), FALSE);
    palette_.reset();
    backPicture_.reset();
}

bool iButton::Create(HWND parent, int x, int y, int width, int height, const forms::PropertyBag& properties,
                     UINT_PTR id) {
    forms::WindowDesign design;
    design.className = kClassName;
    design.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS;
    design.x = x;
    design.y = y;
    design.width = width;
    design.height = height;
    design.parent = parent;
    design.id = id;
    if (!CreateWin(design)) return false;
    // A new child window goes under its older siblings; a button lies on top of what it is
    // placed on (a title bar).
    ::SetWindowPos(handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // Created: no frames yet, painted once, the hover timer running.
    surface_.Resize(width, height);
    RebuildStateImages();
    SetHoverTimer(true);
    ReadProperties(properties);
    // The first Show cuts the frames from what was read.
    if (surface_.Tag.empty()) {
        RebuildStateImages();
        surface_.Tag = L"1";
    }
    return exists();
}

void iButton::ReadProperties(const forms::PropertyBag& bag) {
    auto picture = [&](const wchar_t* name) {
        std::int32_t id = bag.ReadProperty<std::int32_t>(name, 0);
        return id ? Picture::LoadBitmapResource(id) : nullptr;
    };
    backPicture_ = picture(L"BackPicture");
    icon_ = picture(L"Icon");
    bool enabled = bag.ReadProperty<bool>(L"Enabled", true);
    core_.SetEnabled(enabled);
    if (exists()) ::EnableWindow(handle(), enabled);
    surface_.SetBackStyle(static_cast<short>(bag.ReadProperty<std::int32_t>(L"cBackStyle", 1)));
    caption_ = bag.ReadProperty<std::wstring>(L"Caption", L"");
    core_.SetStyle(bag.ReadProperty<std::int32_t>(L"Style", 0));
    autoSize_ = bag.ReadProperty<bool>(L"AutoSize", true);
    surface_.SetForeColor(static_cast<std::uint32_t>(
        bag.ReadProperty<std::int32_t>(L"cForeColor", static_cast<std::int32_t>(surface_.ForeColor()))));
    FontDesc font = surface_.Font();
    if (FontFromText(bag.ReadProperty<std::wstring>(L"cFont", FontToText(font)), font)) surface_.SetFont(font);
    surface_.SetDrawMode(static_cast<short>(bag.ReadProperty<std::int32_t>(L"cDrawMode", surface_.DrawMode())));
}

void iButton::WriteProperties(forms::PropertyBag& bag) const {
    auto pictureId = [](const PicturePtr& p) { return p ? p->ResourceId() : 0; };
    if (pictureId(backPicture_)) bag.WriteProperty(L"BackPicture", pictureId(backPicture_));
    if (pictureId(icon_)) bag.WriteProperty(L"Icon", pictureId(icon_));
    if (!Enabled()) bag.WriteProperty(L"Enabled", false);
    if (Style() != 0) bag.WriteProperty(L"Style", Style());
    if (cBackStyle() != 1) bag.WriteProperty(L"cBackStyle", std::int32_t{cBackStyle()});
    if (!caption_.empty()) bag.WriteProperty(L"Caption", caption_);
    if (!autoSize_) bag.WriteProperty(L"AutoSize", false);
    bag.WriteProperty(L"cFont", FontToText(cFont()));
    bag.WriteProperty(L"cDrawMode", std::int32_t{cDrawMode()});
    bag.WriteProperty(L"cForeColor", static_cast<std::int32_t>(cForeColor()));
}

void iButton::Move(int x, int y, int width, int height) {
    if (exists()) ::MoveWindow(handle(), x, y, width, height, TRUE);
}

// ---- properties ------------------------------------------------------------------------------

void iButton::Changed(const wchar_t* name) {
    if (auto handler = PropertyChanged) handler(name);
}

void iButton::SetcDrawMode(short mode) {
    surface_.SetDrawMode(mode);
    Refresh();
    Changed(L"cDrawMode");
}

void iButton::SetcFont(const FontDesc& font) {
    surface_.SetFont(font);
    Refresh();
    Changed(L"cFont");
}

void iButton::SetcForeColor(std::uint32_t colour) {
    surface_.SetForeColor(colour);
    Refresh();
    Changed(L"cForeColor");
}

void iButton::SetLocked(bool locked) {
    locked_ = locked;
    Refresh();
}

void iButton::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    if (autoSize) RebuildStateImages();
    Changed(L"AutoSize");
}

void iButton::SetStyle(std::int32_t style) {
    core_.SetStyle(style);
    RebuildStateImages();
    Changed(L"Style");
}

void iButton::SetBackPicture(PicturePtr picture) {
    backPicture_ = std::move(picture);
    RebuildStateImages();
    Changed(L"BackPicture");
}

void iButton::SetIcon(PicturePtr picture) {
    icon_ = std::move(picture);
    Changed(L"Icon");
}

void iButton::SetEnabled(bool enabled) {
    core_.SetEnabled(enabled);
    if (exists()) ::EnableWindow(handle(), enabled);
    Refresh();
    Changed(L"Enabled");
}

void iButton::SetcBackStyle(short style) {
    // The surface keeps no background picture of its own: the frame is painted anew each time.
    surface_.SetBackStyle(style);
    Refresh();
    Changed(L"cBackStyle");
}

void iButton::SetCaption(const std::wstring& caption) {
    caption_ = caption;
    Refresh();
    Changed(L"Caption");
}

// ---- window ----------------------------------------------------------------------------------

LRESULT iButton::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result;
    if (surface_.PaintMessage(handle(), msg, wParam, result)) return result;
    switch (msg) {
        case WM_SIZE:
            Resized();
            return 0;
        case WM_MOVE:
            if (cBackStyle() == 0) Refresh();
            return 0;
        case WM_GETOBJECT:
            if (LRESULT answer = accessible_.Answer(wParam, lParam)) return answer;
            break;
        case WM_SETCURSOR:
            // The cursor is the button's own business (the hand over it, set on mouse moves).
            if (LOWORD(lParam) == HTCLIENT) return TRUE;
            break;
        case WM_TIMER:
            if (wParam == kHoverTimer) core_.TimerTick();
            return 0;
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
        case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP:
        case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK: case WM_MBUTTONDBLCLK:
            Mouse(msg, wParam, lParam);
            return 0;
        case WM_CAPTURECHANGED:
            // Capture taken away in the middle of a press: no click follows.
            if (reinterpret_cast<HWND>(lParam) != handle()) platformPress_ = 0;
            return 0;
        case WM_KEYDOWN:
            core_.KeyDown(static_cast<short>(wParam), KeyShift());
            return 0;
        case WM_KEYUP:
            core_.KeyUp(static_cast<short>(wParam), KeyShift());
            return 0;
        case WM_CHAR:
            core_.KeyPress(static_cast<short>(wParam));
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTALLKEYS | DLGC_WANTCHARS;
        case WM_SETFOCUS:
            core_.GotFocus();
            return 0;
        case WM_KILLFOCUS:
            core_.LostFocus();
            return 0;
        case WM_DESTROY:
            if (timerRunning_) ::KillTimer(handle(), kHoverTimer);
            timerRunning_ = false;
            break;
        default:
            break;
    }
    return Window::HandleMessage(msg, wParam, lParam);
}

void iButton::Mouse(UINT msg, WPARAM wParam, LPARAM lParam) {
    short button = forms::ButtonFromMessage(msg, wParam);
    short shift = forms::ShiftFromKeyState(wParam);
    auto x = static_cast<float>(PixelsToTwips(GET_X_LPARAM(lParam)));
    auto y = static_cast<float>(PixelsToTwips(GET_Y_LPARAM(lParam)));
    auto alive = alive_;
    switch (msg) {
        case WM_MOUSEMOVE:
            core_.MouseMove(button, shift, x, y);
            return;
        case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
            // A press gives the button the focus and holds the mouse until every button is up.
            if (::GetFocus() != handle()) ::SetFocus(handle());
            if (!*alive || !exists()) return;
            ::SetCapture(handle());
            platformPress_ |= button;
            core_.MouseDown(button, shift, x, y);
            return;
        case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK: case WM_MBUTTONDBLCLK:
            // The second press of a double click: DBClick instead of MouseDown, and no Click.
            ::SetCapture(handle());
            core_.DoubleClick();
            return;
        default: {  // a button goes up
            bool click = (platformPress_ & button) != 0;
            platformPress_ &= static_cast<short>(~button);
            if ((wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0 && ::GetCapture() == handle()) ::ReleaseCapture();
            core_.MouseUp(button, shift, x, y);
            if (!*alive || !exists()) return;
            RECT client;
            ::GetClientRect(handle(), &client);
            POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (click && ::PtInRect(&client, at)) core_.Click();
            return;
        }
    }
}

void iButton::AccessDoAction() {
    if (core_.Enabled()) core_.Press();
}

void iButton::Resized() {
    if (sizing_ || !exists()) return;
    RECT client;
    ::GetClientRect(handle(), &client);
    surface_.Resize(client.right, client.bottom);
    if (autoSize_ && backPicture_) TakeFrameSize();
    Refresh();
}

void iButton::TakeFrameSize() {
    TwipsSize size;
    if (!exists() || !AutoSizeTwips(frame_, size)) return;
    RECT client;
    ::GetClientRect(handle(), &client);
    int width = TwipsToPixels(size.width), height = TwipsToPixels(size.height);
    if (client.right == width && client.bottom == height) return;
    sizing_ = true;
    ::SetWindowPos(handle(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    sizing_ = false;
    surface_.Resize(width, height);
}

// ---- what the core asks for ------------------------------------------------------------------

bool iButton::PointerOver() {
    POINT at;
    return exists() && ::GetCursorPos(&at) && ::WindowFromPoint(at) == handle();
}

void iButton::SetCursorShape(ButtonCursor cursor) {
    ::SetCursor(::LoadCursorW(nullptr, cursor == ButtonCursor::Hand ? IDC_HAND : IDC_ARROW));
}

void iButton::SetHoverTimer(bool running) {
    if (!exists()) return;
    if (running) {
        timerRunning_ = ::SetTimer(handle(), kHoverTimer, kHoverInterval, nullptr) != 0;
    } else if (timerRunning_) {
        ::KillTimer(handle(), kHoverTimer);
        timerRunning_ = false;
    }
}

void iButton::DrawFocusRectangle() {
    WindowDc screen(nullptr);
    double perPixelX = 1440.0 / ::GetDeviceCaps(screen.get(), LOGPIXELSX);
    double perPixelY = 1440.0 / ::GetDeviceCaps(screen.get(), LOGPIXELSY);
    PixelRect r = FocusRectangle(PixelsToTwips(surface_.Width()), PixelsToTwips(surface_.Height()), perPixelX, perPixelY);
    RECT rect{r.left, r.top, r.right, r.bottom};
    surface_.DrawFocusRect(rect);
    if (exists()) ::InvalidateRect(handle(), nullptr, FALSE);
}

bool iButton::Raise(ButtonEvent event) {
    std::function<void()> handler;
    switch (event) {
        case ButtonEvent::Click: handler = Click; break;
        case ButtonEvent::MouseOut: handler = MouseOut; break;
        case ButtonEvent::MouseOver: handler = MouseOver; break;
        case ButtonEvent::DBClick: handler = DBClick; break;
        default: break;
    }
    auto alive = alive_;
    if (handler) handler();
    return *alive;
}

bool iButton::RaiseMouse(ButtonEvent event, short& button, short& shift, float& x, float& y) {
    MouseEvent handler = event == ButtonEvent::MouseDown ? MouseDown : event == ButtonEvent::MouseUp ? MouseUp : MouseMove;
    auto alive = alive_;
    if (handler) handler(button, shift, x, y);
    return *alive;
}

bool iButton::RaiseKey(ButtonEvent event, short& keyCode, short& shift) {
    KeyEvent handler = event == ButtonEvent::KeyDown ? KeyDown : KeyUP;
    auto alive = alive_;
    if (handler) handler(keyCode, shift);
    return *alive;
}

bool iButton::RaiseKeyPress(short& keyAscii) {
    auto handler = KeyPress;
    auto alive = alive_;
    if (handler) handler(keyAscii);
    return *alive;
}

}  // namespace xcyh2
