// The image button's pictures: cutting the frames from BackPicture and painting a state.
#include <vector>

#include "base/twips.h"
#include "controls/iButton.h"

namespace xcyh2 {

namespace {
// On a 256-colour display the frames are copied through the system's current palette.
unique_hpalette SystemPalette(HDC dc) {
    if (!(::GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) || ::GetDeviceCaps(dc, SIZEPALETTE) != 256) return {};
    std::vector<BYTE> buffer(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY));
    auto* palette = reinterpret_cast<LOGPALETTE*>(buffer.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = 256;
    ::GetSystemPaletteEntries(dc, 0, 256, palette->palPalEntry);
    return unique_hpalette(::CreatePalette(palette));
}
}  // namespace

void iButton::UsePalette(HDC dc) const {
    if (!palette_) return;
    ::SelectPalette(dc, palette_.get(), FALSE);
    ::RealizePalette(dc);
}

void iButton::SetDpi(int dpi) {
    const bool newArt = DpiScale(dpi).ArtSet() != DpiScale(surface_.Dpi()).ArtSet();
    surface_.SetDpi(dpi);
    if (newArt) RebuildStateImages();
    else if (exists()) Refresh();
}

void iButton::RebuildStateImages() {
    // A strip from the program's own pictures is cut from the art set of the button's scale.
    const DpiScale scale(surface_.Dpi());
    if (backPicture_ && backPicture_->ResourceId() && backPicture_->ArtSet() != scale.ArtSet())
        if (PicturePtr art = Picture::LoadArt(backPicture_->ResourceId(), scale)) backPicture_ = std::move(art);
    stateImages_.clear();
    if (palette_) ::SelectPalette(surface_.hdc(), static_cast<HPALETTE>(::GetStockObject(DEFAULT_PALETTE)), FALSE);
    palette_.reset();
    frame_ = {};
    if (backPicture_ && backPicture_->Bitmap() && exists()) {
        // frame_ is a frame at 96 DPI, which sizes the button; cut is a frame of the strip held.
        frame_ = CutFrames(backPicture_->Width(), backPicture_->Height(), Style());
        const FrameSize cut = CutFrames(PixelsToHimetric(backPicture_->BitmapWidth()),
                                        PixelsToHimetric(backPicture_->BitmapHeight()), Style());
        WindowDc control(handle());
        unique_hdc strip(::CreateCompatibleDC(control.get()));
        unique_hdc copy(::CreateCompatibleDC(control.get()));
        if (strip && copy && cut.width > 0 && cut.height > 0) {
            palette_ = SystemPalette(control.get());
            SelectedObject stripPicture(strip.get(), backPicture_->Bitmap());
            UsePalette(copy.get());
            for (std::int32_t i = 0; i < FramesInStrip(Style()); ++i) {
                unique_hbitmap frame(::CreateCompatibleBitmap(control.get(), cut.width, cut.height));
                if (frame) {
                    SelectedObject target(copy.get(), frame.get());
                    ::BitBlt(copy.get(), 0, 0, cut.width, cut.height, strip.get(), i * cut.width, 0, SRCCOPY);
                }
                stateImages_.push_back(Picture::FromBitmap(frame.release()));
            }
            if (palette_) ::SelectPalette(copy.get(), static_cast<HPALETTE>(::GetStockObject(DEFAULT_PALETTE)), FALSE);
            if (autoSize_) TakeFrameSize();
        }
    }
    Refresh();
}

void iButton::PaintUnderneath() {
    // A transparent button shows what lies beneath it: its parent's background and the sibling
    // windows below it, each asked to print itself into the button's surface.
    HWND parent = exists() ? ::GetParent(handle()) : nullptr;
    if (!parent) {
        surface_.Cls();
        return;
    }
    HDC dc = surface_.hdc();
    RECT own;
    ::GetWindowRect(handle(), &own);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&own), 2);
    POINT origin;
    ::SetViewportOrgEx(dc, -own.left, -own.top, &origin);
    if (!::SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0)) surface_.Cls();
    ::SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    std::vector<HWND> below;
    for (HWND w = ::GetWindow(handle(), GW_HWNDNEXT); w; w = ::GetWindow(w, GW_HWNDNEXT)) below.push_back(w);
    for (auto it = below.rbegin(); it != below.rend(); ++it) {
        RECT r, overlap;
        // The window's own visibility: the form may not be shown yet while its controls are made.
        if (!(::GetWindowLongW(*it, GWL_STYLE) & WS_VISIBLE) || !::GetWindowRect(*it, &r)) continue;
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        if (!::IntersectRect(&overlap, &r, &own)) continue;
        ::SetViewportOrgEx(dc, r.left - own.left, r.top - own.top, nullptr);
        ::SendMessageW(*it, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    }
    ::SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
}

void iButton::Repaint(std::int32_t state) {
    if (cBackStyle() == 0) PaintUnderneath();
    else surface_.Cls();
    HDC dc = surface_.hdc();
    const int width = surface_.Width(), height = surface_.Height();
    SIZE text = surface_.TextExtent(caption_);
    CaptionInput in;
    in.width = PixelsToTwips(width);
    in.height = PixelsToTwips(height);
    in.textWidth = PixelsToTwips(text.cx);
    in.textHeight = PixelsToTwips(text.cy);
    in.hasIcon = icon_ != nullptr;
    in.iconHimetricWidth = icon_ ? icon_->Width() : 0;
    in.state = state;
    CaptionLayout at = LayOutCaption(in);
    auto index = static_cast<std::size_t>(FrameForState(state, locked_, Value(), Style()));
    PicturePtr frame = index < stateImages_.size() ? stateImages_[index] : nullptr;
    if (frame) {
        UsePalette(dc);
        frame->Render(dc, 0, 0, width, height);
        // A transparent button shows the frame alone; the icon is drawn only on an opaque one.
        if (icon_ && cBackStyle() != 0)
            icon_->Render(dc, TwipsToPixels(at.iconX), TwipsToPixels(at.iconY), icon_->PixelWidth(), icon_->PixelHeight());
    }
    surface_.Print(caption_, TwipsToPixels(at.x), TwipsToPixels(at.y));
    if (exists()) ::InvalidateRect(handle(), nullptr, FALSE);
}

}  // namespace xcyh2
