#include "tabstrip/uTab.h"

#include <windowsx.h>

#include "base/EventLog.h"
#include "base/WindowScale.h"
#include "base/classic_error.h"
#include "picture/ArtSets.h"
#include "tabstrip/TabWindowOps.h"

namespace xcyh2 {

namespace {
constexpr wchar_t kClassName[] = L"Xcyh2TabStrip";

// The system's GUI font at the strip's scale: the stock font is made for the system's own DPI.
unique_hfont GuiFontWithWeight(LONG weight, const DpiScale& scale) {
    LOGFONTW lf{};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    const int systemDpi = WindowScale(nullptr).Dpi();
    if (systemDpi != scale.Dpi()) {
        lf.lfHeight = ::MulDiv(lf.lfHeight, scale.Dpi(), systemDpi);
        lf.lfWidth = ::MulDiv(lf.lfWidth, scale.Dpi(), systemDpi);
    }
    lf.lfWeight = weight;
    return unique_hfont(::CreateFontIndirectW(&lf));
}
}  // namespace

uTab::uTab() {
    LoadSkins();
    items_ = std::make_unique<CTabItems>(Win32TabWindowOps());
    items_->SetOwner(this);
    subclass_ = std::make_unique<CSubclass>(static_cast<ISubclassHandler&>(*this));
    normalFont_ = GuiFontWithWeight(100, scale_);
    boldFont_ = GuiFontWithWeight(700, scale_);
}

uTab::~uTab() {
    *alive_ = false;
    subclass_.reset();  // all interception ends
    DestroyWin();
    // Screen readers may hold the accessible object longer: it answers nothing from now on.
    accessible_.Close();
    items_.reset();     // forms still in tabs are unloaded with their items
    FreeBuffers();
    boldFont_.reset();
    normalFont_.reset();
    skins_[1].reset();
    skins_[0].reset();
}

bool uTab::Create(HWND parent, int x, int y, int width, const forms::PropertyBag& properties) {
    ReadProperties(properties);
    if (!CreateWin(forms::WindowDesign::Child(kClassName, parent, x, y, width, StripHeight(tabStyle_, scale_))))
        return false;
    // Every message of the strip's own window passes the strip first. Both windows are
    // intercepted as Unicode windows: captions and titles arrive as UTF-16 whatever the code page.
    bool unicode = true;
    subclass_->ssc_Subclass(handle(), 0, 1, true, &unicode, false);
    subclass_->ssc_AddMsg(handle(), ALL_MESSAGES, MSG_BEFORE);
    Resize();
    return true;
}

void uTab::ReadProperties(const forms::PropertyBag& properties) {
    tabStyle_ = properties.ReadProperty<std::int32_t>(L"TabStyle", tabStyle_);
    leftSize_ = properties.ReadProperty<std::int32_t>(L"TabLeftSize", leftSize_);
    rightSize_ = properties.ReadProperty<std::int32_t>(L"TabRightSize", rightSize_);
}

void uTab::WriteProperties(forms::PropertyBag& properties) const {
    properties.WriteProperty(L"TabStyle", tabStyle_);
    properties.WriteProperty(L"TabLeftSize", leftSize_);
    properties.WriteProperty(L"TabRightSize", rightSize_);
}

void uTab::refresh() { RedrawAll(); }

void uTab::LockReDraw(bool lock) {
    drawingEnabled_ = !lock;
    if (lock) return;
    ComputeTabWidth();
    LayoutTabs();
    RedrawAll();
}

void uTab::LoadSkins() {
    for (int style = 0; style < 2; ++style) {
        skins_[style].reset();
        const ArtBitmap art = LoadArtBitmap(MetricsOf(style).skinBitmap, scale_.ArtSet(), RGB(255, 0, 255));
        HBITMAP bitmap = art.bitmap;
        skinSets_[style] = art.set;
        if (!bitmap) continue;  // a module without the skins draws backgrounds and text only
        try {
            skins_[style] = mdlTabAPI::MemDC(mdlTabAPI::CreateBitmapDC(bitmap));
        } catch (...) {
            ::DeleteObject(bitmap);
            throw;
        }
    }
}

void uTab::SetScale(const DpiScale& scale) {
    if (scale.Dpi() == scale_.Dpi()) return;
    const bool newArt = scale.ArtSet() != scale_.ArtSet();
    scale_ = scale;
    if (newArt) {
        FreeBuffers();  // the pieces and pixels read from the old skins go with them
        LoadSkins();
    }
    normalFont_ = GuiFontWithWeight(100, scale_);
    boldFont_ = GuiFontWithWeight(700, scale_);
    // A new height, new surfaces (which drop every piece drawn at the old scale), the layout
    // and a whole drawing.
    if (exists()) Resize();
}

void uTab::SethContainerWnd(HWND container) {
    container_ = container;
    bool unicode = true;
    subclass_->ssc_Subclass(container, 0, 1, true, &unicode, false);
    subclass_->ssc_AddMsg(container, WM_SIZE, MSG_AFTER);
}

void uTab::RefreshPage() {
    auto item = items_->Item(selected_);
    if (!item || !item->Form()) throw ClassicError(91, "Object variable or With block variable not set");
    item->Form()->RefreshPage();
}

HWND uTab::hParent() const {
    if (!exists()) return nullptr;
    return ::GetAncestor(handle(), GA_ROOT);
}

std::int32_t uTab::StripWidth() const {
    RECT r{};
    if (exists()) ::GetClientRect(handle(), &r);
    return r.right;
}

// ---- geometry --------------------------------------------------------------------------------

std::vector<TabBox> uTab::Boxes() const {
    std::vector<TabBox> boxes;
    boxes.reserve(static_cast<std::size_t>(Count()));
    for (std::int32_t i = 0; i < Count(); ++i) {
        auto item = items_->Item(i);
        boxes.push_back({item->Left(), item->Width(), item->LockSize(), item->HideButton()});
    }
    return boxes;
}

void uTab::Resize() {
    // Each step runs whatever became of the one before.
    const std::int32_t height = StripHeight(tabStyle_, scale_);
    RECT r{};
    ::GetClientRect(handle(), &r);
    if (r.bottom != height && !resizing_) {
        resizing_ = true;
        ::SetWindowPos(handle(), nullptr, 0, 0, r.right, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        resizing_ = false;
    }
    try { CreateBuffers(); } catch (...) { ReportCurrentException(L"uTab.Resize.CreateBuffers"); }
    try { ComputeTabWidth(); } catch (...) { ReportCurrentException(L"uTab.Resize.ComputeTabWidth"); }
    try { LayoutTabs(); } catch (...) { ReportCurrentException(L"uTab.Resize.LayoutTabs"); }
    try { RedrawAll(); } catch (...) { ReportCurrentException(L"uTab.Resize.RedrawAll"); }
}

void uTab::ComputeTabWidth() {
    if (!drawingEnabled_) return;
    std::int32_t locked = 0;
    for (std::int32_t i = 0; i < Count(); ++i)
        if (items_->Item(i)->LockSize()) ++locked;
    sharedWidth_ = xcyh2::ComputeTabWidth(bufStyle_, scale_.Pixels96(bufStripWidth_ - bufLeft_ - bufRight_), Count(),
                                          locked);
}

void uTab::LayoutTabs() {
    if (!drawingEnabled_ || Count() == 0) return;
    auto boxes = Boxes();
    xcyh2::LayoutTabs(bufStyle_, sharedWidth_, boxes);
    for (std::int32_t i = 0; i < Count(); ++i) {
        auto item = items_->Item(i);
        item->SetLeft(boxes[static_cast<std::size_t>(i)].left);
        item->SetWidth(boxes[static_cast<std::size_t>(i)].width);
    }
}

HitResult uTab::Hit(float x, float y) const {
    // The style and margins the surfaces were made for, as the painting uses: what the pointer
    // hits is what is shown.
    return HitTest(bufStyle_, {bufStripWidth_, bufLeft_, bufRight_}, Boxes(), x, y, scale_);
}

// ---- selection and forms ---------------------------------------------------------------------

void uTab::SetSelected(std::int32_t index) {
    if (index < 0) {
        selected_ = -1;
        RedrawAll();
        AnnounceSelection();
        return;
    }
    if (index > Count() - 1) return;
    selected_ = index;
    ShowSelectedForm();
    RedrawAll();
    AnnounceSelection();
}

void uTab::AnnounceSelection() {
    if (selected_ == announced_) return;
    announced_ = selected_;
    if (selected_ >= 0 && handle()) ::NotifyWinEvent(EVENT_OBJECT_SELECTION, handle(), OBJID_CLIENT, selected_ + 1);
}

std::wstring uTab::AccessChildName(std::int32_t index) const { return items_->Item(index)->Caption(); }

RECT uTab::AccessChildRect(std::int32_t index) const {
    auto item = items_->Item(index);
    const TabBox tab = ScaleBox({item->Left(), item->Width()}, scale_);
    RECT client{};
    ::GetClientRect(handle(), &client);
    return {bufLeft_ + tab.left, 0, bufLeft_ + tab.left + tab.width, client.bottom};
}

void uTab::AccessSelectChild(std::int32_t index) {
    // As a click on the tab: the host hears of it.
    if (index == selected_) return;
    SetSelected(index);
    if (auto handler = TabChanged) handler();
}

void uTab::AttachForm(HWND form) {
    RECT r{};
    ::GetClientRect(container_, &r);
    ::SetParent(form, container_);
    mdlTabAPI::ModifyWindowLong(form, GWL_STYLE, WS_CAPTION | WS_THICKFRAME, WS_CHILD, SWP_FRAMECHANGED);
    ::SetWindowPos(form, nullptr, 0, 0, r.right, r.bottom, SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER);
}

void uTab::ShowSelectedForm() {
    if (selected_ >= Count() || !container_ || selected_ < 0) return;
    auto item = items_->Item(selected_);
    if (!item->Form()) return;
    RECT r{};
    ::GetClientRect(container_, &r);
    ::SetWindowPos(item->Form()->hWnd(), HWND_TOP, 0, 0, r.right, r.bottom, SWP_SHOWWINDOW | SWP_NOACTIVATE);
}

// ---- IuTab -----------------------------------------------------------------------------------

void uTab::Add(const std::wstring&, ITabForm& form, const std::optional<std::wstring>&, const TabIndex&) {
    AttachForm(form.hWnd());
    // The same tab stays selected when one is inserted before it.
    selected_ = SelectionAfterInsert(selected_, items_->FindItem(&form), Count() - 1);
    ComputeTabWidth();
    LayoutTabs();
    DrawTabs();
    AnnounceSelection();
}

bool uTab::BeforeRemove(std::int32_t index) {
    bool cancel = false;
    auto handler = OnItemColose;
    auto alive = alive_;
    if (handler) handler(index, cancel);
    // A host that closed its window inside the event took the strip and its collection along:
    // the removal must not go on.
    if (!*alive) return false;
    return !cancel;
}

void uTab::Remove(std::int32_t index) {
    ComputeTabWidth();
    LayoutTabs();
    selected_ = SelectionAfterRemove(selected_, index);
    ShowSelectedForm();
    DrawTabs();
    AnnounceSelection();
}

void uTab::Clear() {
    ComputeTabWidth();
    selected_ = 0;
    DrawTabs();
}

void uTab::Redraw(bool) { RedrawAll(); }

void uTab::ChangeForm(CTabItem&, ITabForm& form) {
    try {
        AttachForm(form.hWnd());
    } catch (...) {
    }
    try {
        ShowSelectedForm();
    } catch (...) {
    }
}

// ---- mouse -----------------------------------------------------------------------------------

bool uTab::Raise(MouseEvent event, std::int32_t index, short button, short shift, float x, float y) {
    // The handler runs from a copy: it may destroy the strip and with it the member it came from.
    auto alive = alive_;
    if (event) event(index, button, shift, x, y);
    return *alive;
}

void uTab::MousePress(short button, short shift, float x, float y) {
    lastPointer_ = {button, shift, x, y};
    std::int32_t index = 0;
    if (button == forms::kLeftButton) {
        auto alive = alive_;
        auto [i, onClose] = Hit(x, y);
        index = i;
        if (i >= 0 && i < Count()) {
            if (i != selected_ && !onClose) {
                selected_ = i;
                ShowSelectedForm();
                DrawTabs();
                AnnounceSelection();
            } else if (onClose && hoverState_ != 2) {
                ShowHover(hoverIndex_, 2);
            }
            if (auto handler = TabChanged) handler();
            if (!*alive) return;
        }
    }
    Raise(OnMouseDown, index, button, shift, x, y);
}

void uTab::MouseMoved(short button, short shift, float x, float y) {
    std::int32_t index = 0;
    if (button == 0) {
        subclass_->TrackMouseTracking(handle());
        auto [i, onClose] = Hit(x, y);
        index = i;
        std::int32_t state = onClose ? 1 : 0;
        if (i != hoverIndex_ || state != hoverState_) {
            if (i != hoverIndex_ && !Raise(OnMouseHover, i, button, shift, x, y)) return;
            ShowHover(i, state);
        }
    }
    Raise(OnMouseMove, index, button, shift, x, y);
}

void uTab::MouseRelease(short button, short shift, float x, float y) {
    std::int32_t index = 0;
    if (button == forms::kLeftButton) {
        auto [i, onClose] = Hit(x, y);
        index = i;
        hoverState_ = 0;
        if (i >= 0 && i < Count() && i == hoverIndex_ && onClose && !items_->Item(i)->HideButton()) {
            auto alive = alive_;
            items_->Remove(i, true);
            if (!*alive) return;
        }
        auto alive = alive_;
        RedrawAll();
        if (!*alive) return;
    }
    Raise(OnMouseUp, index, button, shift, x, y);
}

void uTab::DoubleClick() {
    PointerRecord record = lastPointer_;
    std::int32_t index = Hit(record.x, record.y).index;
    auto alive = alive_;
    MousePress(record.button, record.shift, record.x, record.y);
    if (!*alive) return;
    Raise(OnDblClick, index, record.button, record.shift, record.x, record.y);
}

void uTab::MouseLeft() {
    if (hoverIndex_ != -1) {
        ShowHover(-1, hoverState_);
    }
    if (auto handler = OnMouseLeave) handler();
}

LRESULT uTab::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    const float x = static_cast<float>(GET_X_LPARAM(lParam));
    const float y = static_cast<float>(GET_Y_LPARAM(lParam));
    switch (msg) {
        case WM_SIZE:
            if (!resizing_) Resize();
            return 0;
        case WM_GETOBJECT:
            // Screen readers ask for the client area's object: the tabs as a page-tab list.
            if (LRESULT answer = accessible_.Answer(wParam, lParam)) return answer;
            break;
        case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
        case WM_RBUTTONDBLCLK: case WM_MBUTTONDBLCLK:
            // The strip keeps the pointer while a button is held, so a release lands here.
            ::SetCapture(handle());
            MousePress(forms::ButtonFromMessage(msg, wParam), forms::ShiftFromKeyState(wParam), x, y);
            return 0;
        case WM_LBUTTONDBLCLK:
            ::SetCapture(handle());
            lastPointer_ = {forms::kLeftButton, forms::ShiftFromKeyState(wParam), x, y};
            DoubleClick();
            return 0;
        case WM_MOUSEMOVE:
            MouseMoved(forms::ButtonFromMessage(msg, wParam), forms::ShiftFromKeyState(wParam), x, y);
            return 0;
        case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP: {
            if (!(wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) && ::GetCapture() == handle()) ::ReleaseCapture();
            MouseRelease(forms::ButtonFromMessage(msg, wParam), forms::ShiftFromKeyState(wParam), x, y);
            return 0;
        }
        default:
            break;
    }
    return Window::HandleMessage(msg, wParam, lParam);
}

// ---- interception ----------------------------------------------------------------------------

void uTab::WindowProc(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND lng_hWnd, UINT uMsg, WPARAM wParam,
                      LPARAM lParam, LONG_PTR& lParamUser) {
    try {
        c_Subclass_WindowProc(bBefore, bHandled, lReturn, lng_hWnd, uMsg, wParam, lParam, lParamUser);
    } catch (...) {
        ReportCurrentException(L"uTab.WindowProc");
    }
}

void uTab::c_Subclass_WindowProc(bool, bool& bHandled, LRESULT& lReturn, HWND lng_hWnd, UINT uMsg, WPARAM wParam,
                                 LPARAM, LONG_PTR&) {
    if (lng_hWnd == handle() && handle()) {
        switch (uMsg) {
            case WM_ERASEBKGND:
                bHandled = true;
                lReturn = 0;
                break;
            case WM_PAINT:
                Paint();
                bHandled = true;
                lReturn = 0;
                break;
            case WM_PRINTCLIENT:
                // A transparent control laid over the strip's end (the main window's link)
                // shows the strip beneath it.
                if (composite_)
                    ::BitBlt(reinterpret_cast<HDC>(wParam), 0, 0, bufWidth_, bufHeight_, composite_.get(), 0, 0, SRCCOPY);
                bHandled = true;
                lReturn = 0;
                break;
            case WM_MOUSELEAVE:
                MouseLeft();
                break;
            default:
                break;
        }
    } else if (lng_hWnd == container_ && uMsg == WM_SIZE) {
        ShowSelectedForm();
    }
}

void uTab::Paint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(handle(), &ps);
    if (composite_) ::BitBlt(dc, 0, 0, bufWidth_, bufHeight_, composite_.get(), 0, 0, SRCCOPY);
    ::EndPaint(handle(), &ps);
}

}  // namespace xcyh2
