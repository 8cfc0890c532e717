#include "controls/BForm.h"

#include <windowsx.h>

#include "base/EventLog.h"
#include "base/twips.h"
#include "controls/TitleBarLayout.h"
#include "forms/ScaledCopy.h"

namespace xcyh2 {

namespace {
constexpr wchar_t kClassName[] = L"Xcyh2BForm";
constexpr wchar_t kDefaultBackColor[] = L"14346732";
constexpr wchar_t kDefaultCaption[] = L"NewForm";

void SetArrowCursor() { ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW)); }

// Pieces are placed as at 96 DPI, then their edges scaled: pieces that touch there touch at
// every scale.
void DrawPieces(HDC skin, const Picture* picture, const std::vector<SkinPiece>& pieces, const DpiScale& scale,
                Surface& target) {
    if (!skin || !picture) return;
    for (const SkinPiece& piece : pieces) {
        PixelCopy copy;
        if (!ToPixels(piece, picture->PixelWidth(), picture->PixelHeight(), copy)) continue;
        EdgeRect to = scale.Rect({copy.targetX, copy.targetY, copy.targetX + copy.width, copy.targetY + copy.height});
        EdgeRect from = picture->Source({copy.sourceX, copy.sourceY, copy.sourceX + copy.width, copy.sourceY + copy.height});
        forms::CopyScaled(target.hdc(), to.left, to.top, to.Width(), to.Height(), skin, from.left, from.top, from.Width(),
                          from.Height());
    }
}
}  // namespace

BForm::BForm(std::int32_t skinBitmap) : skinBitmap_(skinBitmap) {
    LoadSkin();
    std::uint32_t colour = 0;
    ColourFromText(kDefaultBackColor, colour);
    surface_.SetBackColor(colour);
    surface_.SetForeColor(RGB(255, 255, 255));
    FontDesc font;
    font.bold = true;
    surface_.SetFont(font);
    surface_.Tag = kDefaultCaption;
}

BForm::~BForm() {
    *alive_ = false;
    DestroyWin();
    if (PP_ && ppOriginal_) ::SelectObject(PP_.get(), ppOriginal_);
    PP_.reset();
    skin_.reset();
}

// The skin is held selected into PP, drawn for the bar's art set; without it the bar is plain.
void BForm::LoadSkin() {
    if (PP_ && ppOriginal_) ::SelectObject(PP_.get(), ppOriginal_);
    ppOriginal_ = nullptr;
    skin_ = Picture::LoadArt(skinBitmap_, scale_);
    if (!skin_) return;
    if (!PP_) PP_.reset(::CreateCompatibleDC(nullptr));
    if (PP_) ppOriginal_ = ::SelectObject(PP_.get(), skin_->Bitmap());
}

int BForm::BarHeight() const { return scale_.TwipsToPixels(kBarHeightTwips); }

void BForm::SetScale(const DpiScale& scale) {
    if (scale.Dpi() == scale_.Dpi()) return;
    const bool newArt = scale.ArtSet() != scale_.ArtSet();
    scale_ = scale;
    surface_.SetDpi(scale.Dpi());
    if (newArt) LoadSkin();
    if (!exists()) return;
    // The bar takes its new height; its size message paints it anew.
    RECT r{};
    ::GetClientRect(handle(), &r);
    ::SetWindowPos(handle(), nullptr, 0, 0, r.right, BarHeight(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    PaintBar();
}

bool BForm::Create(HWND parent, int x, int y, int width, const forms::PropertyBag& properties, UINT_PTR id) {
    forms::WindowDesign design;
    design.className = kClassName;
    design.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    design.x = x;
    design.y = y;
    design.width = width;
    design.height = BarHeight();
    design.parent = parent;
    design.id = id;
    if (!CreateWin(design)) return false;
    // The bar lies under what the holder places on it (logo, buttons), whenever they are made.
    ::SetWindowPos(handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    surface_.Resize(width, BarHeight());
    ReadProperties(properties);
    PaintBar();
    return exists();
}

void BForm::ReadProperties(const forms::PropertyBag& bag) {
    std::uint32_t colour = 0;
    if (ColourFromText(bag.ReadProperty<std::wstring>(L"BackColor", kDefaultBackColor), colour))
        surface_.SetBackColor(colour);
    surface_.Tag = bag.ReadProperty<std::wstring>(L"Caption", kDefaultCaption);
    PaintBar();
    frmHwnd_ = reinterpret_cast<HWND>(static_cast<LONG_PTR>(bag.ReadProperty<std::int32_t>(L"frmHwnd", 0)));
    hasLogo_ = bag.ReadProperty<bool>(L"HasLogo", hasLogo_);
}

void BForm::WriteProperties(forms::PropertyBag& bag) const {
    if (BackColor() != kDefaultBackColor) bag.WriteProperty(L"BackColor", BackColor());
    if (Caption() != kDefaultCaption) bag.WriteProperty(L"Caption", Caption());
    // A window handle keeps its meaning in its low 32 bits.
    if (frmHwnd_) bag.WriteProperty(L"frmHwnd", static_cast<std::int32_t>(reinterpret_cast<LONG_PTR>(frmHwnd_)));
    bag.WriteProperty(L"HasLogo", hasLogo_);
}

void BForm::Move(int x, int y, int width, int height) {
    if (exists()) ::MoveWindow(handle(), x, y, width, height, TRUE);
}

std::wstring BForm::BackColor() const { return ColourToText(surface_.BackColor()); }

void BForm::SetBackColor(const std::wstring& New_BackColor) {
    std::uint32_t colour = 0;
    if (!ColourFromText(New_BackColor, colour)) return;
    surface_.SetBackColor(colour);
    PaintBar();
    Changed(L"BackColor");
}

void BForm::SetCaption(const std::wstring& New_caption) {
    surface_.Tag = New_caption;
    PaintBar();
    Changed(L"Caption");
}

void BForm::SetHasLogo(bool New_HasLogo) {
    hasLogo_ = New_HasLogo;
    PaintBar();
    Changed(L"HasLogo");
}

void BForm::SetfrmHwnd(HWND New_frmHwnd) {
    frmHwnd_ = New_frmHwnd;
    Changed(L"frmHwnd");
}

void BForm::Changed(const wchar_t* name) {
    if (auto handler = PropertyChanged) handler(name);
}

void BForm::PaintBar() {
    surface_.Cls();
    DrawPieces(PP_.get(), skin_.get(), BarPieces(scale_.PixelsToTwips(surface_.Width())), scale_, surface_);
    surface_.Print(surface_.Tag, scale_.TwipsToPixels(CaptionLeft(hasLogo_)), scale_.TwipsToPixels(kCaptionTop));
    if (exists()) ::InvalidateRect(handle(), nullptr, FALSE);
}

void BForm::Nomin() {
    DrawPieces(PP_.get(), skin_.get(), {NominPiece(scale_.PixelsToTwips(surface_.Width()))}, scale_, surface_);
    if (exists()) ::InvalidateRect(handle(), nullptr, FALSE);
}

void BForm::Printform(Surface& form) const {
    form.Cls();
    DrawPieces(PP_.get(), skin_.get(), FramePieces(scale_.PixelsToTwips(form.Width()), scale_.PixelsToTwips(form.Height())), scale_, form);
}

bool BForm::RaiseMouse(const MouseEvent& event, UINT msg, WPARAM wParam, LPARAM lParam) {
    short button = forms::ButtonFromMessage(msg, wParam);
    short shift = forms::ShiftFromKeyState(wParam);
    auto x = static_cast<float>(scale_.PixelsToTwips(GET_X_LPARAM(lParam)));
    auto y = static_cast<float>(scale_.PixelsToTwips(GET_Y_LPARAM(lParam)));
    MouseEvent handler = event;
    auto alive = alive_;
    if (handler) handler(button, shift, x, y);
    return *alive;
}

LRESULT BForm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result;
    if (surface_.PaintMessage(handle(), msg, wParam, result)) return result;
    switch (msg) {
        case WM_WINDOWPOSCHANGING: {
            // The bar is as high as its pieces allow, whatever the holder asks.
            auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
            if (!(pos->flags & SWP_NOSIZE)) pos->cy = BarHeight();
            break;
        }
        case WM_SIZE:
            surface_.Resize(LOWORD(lParam), HIWORD(lParam));
            PaintBar();
            return 0;
        case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN: {
            SetArrowCursor();
            if (msg == WM_LBUTTONDOWN) {
                // The system moves the window until the button is released; the holder hears of
                // the press afterwards, if the bar is still there.
                auto alive = alive_;
                if (frmHwnd_) forms::StartSystemDrag(frmHwnd_);
                else ::ReleaseCapture();
                if (!*alive) return 0;
                SetArrowCursor();
            }
            RaiseMouse(MouseDown, msg, wParam, lParam);
            return 0;
        }
        case WM_MOUSEMOVE:
            SetArrowCursor();
            RaiseMouse(MouseMove, msg, wParam, lParam);
            return 0;
        case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK: case WM_MBUTTONDBLCLK: {
            auto handler = DblClick;
            if (handler) handler();
            return 0;
        }
        default:
            break;
    }
    return Window::HandleMessage(msg, wParam, lParam);
}

}  // namespace xcyh2
