// The strip's painting: the background and the tabs are composed in off-screen surfaces and
// the window only ever receives the finished picture. Each tab picture is stretched from the
// skin once per piece and size and kept as pixels; drawing copies them, and the close glyphs,
// into the tab area's own pixels, skipping the transparent colour, so a drawing of the strip
// makes no surface and stretches nothing. On a denser screen the art, made for 100 %, is
// enlarged with the system's high-quality filter (KeyedArt.h).
#include <algorithm>
#include <climits>

#include "picture/ArtSets.h"
#include "tabstrip/KeyedArt.h"
#include "tabstrip/TabPaintPlan.h"
#include "tabstrip/uTab.h"

namespace xcyh2 {

namespace {
constexpr COLORREF kTransparent = RGB(255, 0, 255);
constexpr COLORREF kCaptionColour = RGB(0, 0, 0);
constexpr COLORREF kSelectedCaptionColour = RGB(4, 96, 163);
// The transparent colour as a 32-bit BGRX pixel, compared without the unused top byte.
constexpr std::uint32_t kTransparentPixel = 0x00FF00FF;
// Pieces kept at most; layouts with many tab widths start the cache afresh.
constexpr std::size_t kMaxPieces = 64;

// Copies a width x height block of src (rows of srcStride pixels) from (sx, sy) to (x, y) in
// dst (dstWidth x dstHeight), leaving the transparent pixels, within dst's columns [from, to).
void KeyedCopy(std::uint32_t* dst, int dstWidth, int dstHeight, int x, int y, const std::uint32_t* src,
               int srcStride, int sx, int sy, int width, int height, int from, int to) {
    const int x0 = std::max({x, 0, from}), x1 = std::min({x + width, dstWidth, to});
    const int y0 = std::max(y, 0), y1 = std::min(y + height, dstHeight);
    for (int row = y0; row < y1; ++row) {
        const std::uint32_t* in = src + static_cast<std::ptrdiff_t>(sy + row - y) * srcStride + (sx - x);
        std::uint32_t* out = dst + static_cast<std::ptrdiff_t>(row) * dstWidth;
        for (int col = x0; col < x1; ++col)
            if ((in[col] & 0x00FFFFFF) != kTransparentPixel) out[col] = in[col];
    }
}
}  // namespace

void uTab::CreateBuffers() {
    FreeBuffers();
    bufStyle_ = tabStyle_ == 1 ? 1 : 0;
    bufLeft_ = scale_.Pixels(leftSize_);
    bufRight_ = scale_.Pixels(rightSize_);
    bufStripWidth_ = StripWidth();
    // A strip narrower than its margins still gets surfaces of at least one pixel.
    bufWidth_ = std::max(1, StripWidth());
    bufHeight_ = StripHeight(bufStyle_, scale_);
    bufArea_ = std::max(1, bufWidth_ - bufLeft_ - bufRight_);
    composite_ = mdlTabAPI::MemDC(mdlTabAPI::CreateMemDC(bufWidth_, bufHeight_));
    background_ = mdlTabAPI::MemDC(mdlTabAPI::CreateMemDC(bufWidth_, bufHeight_));
    tabArea_ = mdlTabAPI::MemDC(mdlTabAPI::CreateDibDC(bufArea_, bufHeight_, &areaBits_));
}

void uTab::FreeBuffers() {
    pieces_.clear();
    skinPixels_.clear();
    filledSkin_.reset();
    areaDrawn_ = false;
    areaBits_ = nullptr;
    tabArea_.reset();
    background_.reset();
    composite_.reset();
}

void uTab::RedrawAll() {
    auto alive = alive_;
    DrawStripBackground();
    if (*alive) DrawTabs();
}

void uTab::DrawStripBackground() {
    if (!drawingEnabled_ || !background_) return;
    bool cancel = false;
    auto alive = alive_;
    if (auto handler = OnDrawBackground) handler(background_.get(), bufWidth_, bufHeight_, cancel);
    if (!*alive || cancel || !background_) return;
    if (HDC skin = skins_[bufStyle_].get())
        ::StretchBlt(background_.get(), 0, 0, bufWidth_, bufHeight_, skin, 0, 0, 1,
                     ArtSetScale(skinSets_[bufStyle_]).Pixels(SkinColumnHeight(bufStyle_)), SRCCOPY);
}

void uTab::DrawTabText(HDC surface, const std::wstring& text, int x, int y, int width, int height) {
    if (text.empty() || width <= 0) return;
    SIZE extent{};
    ::GetTextExtentPoint32W(surface, text.c_str(), static_cast<int>(text.size()), &extent);
    auto place = PlaceCaption({x, y, width, height}, extent.cx, extent.cy);
    // Page titles are shown as they are: an ampersand is no mnemonic here.
    if (place.fits)
        mdlTabAPI::DrawTextRect(surface, text, -1, x, y, width, height,
                                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    else
        mdlTabAPI::DrawTextRect(surface, text, -1, x, place.top, width, height, DT_END_ELLIPSIS | DT_NOPREFIX);
}

void uTab::DrawTabsDirect() {
    if (scale_.Dpi() != DpiScale::kBaseDpi) return DrawTabs();
    if (!drawingEnabled_ || !tabArea_ || !background_ || !composite_) return;
    areaDrawn_ = false;
    HDC area = tabArea_.get();
    HDC skin = skins_[bufStyle_].get();
    ::SetBkMode(area, TRANSPARENT);
    SelectedObject font(area, normalFont_.get());
    ::SetTextColor(area, kCaptionColour);
    ::BitBlt(area, 0, 0, bufArea_, bufHeight_, background_.get(), bufLeft_, 0, SRCCOPY);

    const auto ops = PlanTabs(bufStyle_, Boxes(), selected_, {hoverIndex_, hoverState_}, scale_);
    for (const auto& op : ops) {
        if (op.selected) {
            ::SelectObject(area, boldFont_.get());
            ::SetTextColor(area, kSelectedCaptionColour);
        }
        if (skin)
            mdlTabAPI::NineGridBlt(area, op.picture.x, op.picture.y, op.picture.width, op.picture.height, skin,
                                   op.sourceX, 0, op.pieceWidth, op.picture.height, 14, 0, 14, 0, kTransparent);
        DrawTabText(area, items_->Item(op.index)->Caption(), op.caption.x, op.caption.y, op.caption.width,
                    op.caption.height);
        if (op.closeButton && skin)
            mdlTabAPI::TransBlt(area, op.buttonX, op.buttonY, 12, 12, skin, op.glyphX, 0, kTransparent);
    }

    ::BitBlt(composite_.get(), 0, 0, bufWidth_, bufHeight_, background_.get(), 0, 0, SRCCOPY);
    ::BitBlt(composite_.get(), bufLeft_, 0, bufArea_, bufHeight_, area, 0, 0, SRCCOPY);
    if (exists()) {
        WindowDc screen(handle());
        if (screen.get()) ::BitBlt(screen.get(), 0, 0, bufWidth_, bufHeight_, composite_.get(), 0, 0, SRCCOPY);
    }
}

}  // namespace xcyh2

namespace xcyh2 {

const std::vector<std::uint32_t>& uTab::SkinPixels(HDC skin) {
    if (skinPixels_.empty()) {
        BITMAP info{};
        ::GetObjectW(::GetCurrentObject(skin, OBJ_BITMAP), sizeof(info), &info);
        skinWidth_ = info.bmWidth;
        skinHeight_ = info.bmHeight;
        skinPixels_ = mdlTabAPI::ReadPixels(skin, skinWidth_, skinHeight_);
    }
    return skinPixels_;
}

const std::vector<std::uint32_t>& uTab::CachedPiece(HDC skin, std::int32_t sourceX, std::int32_t pieceWidth,
                                                    std::int32_t pieceHeight, std::int32_t sourceEnd, std::int32_t end,
                                                    std::int32_t width, std::int32_t height) {
    const auto key = std::make_tuple(bufStyle_, sourceX, width, height);
    auto found = pieces_.find(key);
    if (found != pieces_.end()) return found->second;
    if (pieces_.size() >= kMaxPieces) pieces_.clear();
    if (height != pieceHeight) {
        auto pixels = EnlargedPiece(skin, sourceX, pieceWidth, pieceHeight, sourceEnd, end, width, height);
        return pieces_.emplace(key, std::move(pixels)).first->second;
    }
    // The same stretch onto the same kind of surface as a direct drawing, read back once.
    mdlTabAPI::MemDC surface(mdlTabAPI::CreateMemDC(width, height));
    mdlTabAPI::ComposeEnds(surface.get(), width, height, skin, sourceX, 0, pieceWidth, height, sourceEnd, end,
                           HALFTONE);
    return pieces_.emplace(key, mdlTabAPI::ReadPixels(surface.get(), width, height)).first->second;
}

std::vector<std::uint32_t> uTab::EnlargedPiece(HDC skin, std::int32_t sourceX, std::int32_t pieceWidth,
                                               std::int32_t pieceHeight, std::int32_t sourceEnd, std::int32_t end,
                                               std::int32_t width, std::int32_t height) {
    if (!filledSkin_) {
        std::vector<std::uint32_t> pixels = SkinPixels(skin);
        FillBesideArt(pixels, skinWidth_, skinHeight_, kTransparentPixel);
        std::uint32_t* bits = nullptr;
        filledSkin_ = mdlTabAPI::MemDC(mdlTabAPI::CreateDibDC(skinWidth_, skinHeight_, &bits));
        std::copy(pixels.begin(), pixels.end(), bits);
    }
    // The colours filtered; which pixels are transparent, from the nearest art pixel.
    mdlTabAPI::MemDC colours(mdlTabAPI::CreateMemDC(width, height));
    mdlTabAPI::ComposeEnds(colours.get(), width, height, filledSkin_.get(), sourceX, 0, pieceWidth, pieceHeight,
                           sourceEnd, end, HALFTONE);
    mdlTabAPI::MemDC keys(mdlTabAPI::CreateMemDC(width, height));
    mdlTabAPI::ComposeEnds(keys.get(), width, height, skin, sourceX, 0, pieceWidth, pieceHeight, sourceEnd, end,
                           COLORONCOLOR);
    std::vector<std::uint32_t> pixels = mdlTabAPI::ReadPixels(colours.get(), width, height);
    TakeTransparency(pixels, mdlTabAPI::ReadPixels(keys.get(), width, height), kTransparentPixel);
    return pixels;
}

void uTab::DrawTabs() {
    if (!drawingEnabled_ || !tabArea_ || !background_ || !composite_) return;
    // The margins come from the background; the tab area is drawn whole.
    const std::int32_t right = bufLeft_ + bufArea_;
    ::BitBlt(composite_.get(), 0, 0, std::min(bufLeft_, bufWidth_), bufHeight_, background_.get(), 0, 0, SRCCOPY);
    if (right < bufWidth_)
        ::BitBlt(composite_.get(), right, 0, bufWidth_ - right, bufHeight_, background_.get(), right, 0, SRCCOPY);
    DrawTabsIn(0, bufArea_);
    areaDrawn_ = true;
}

void uTab::ShowHover(std::int32_t index, std::int32_t state) {
    const HoverInfo before{hoverIndex_, hoverState_};
    hoverIndex_ = index;
    hoverState_ = state;
    RepaintHover(before);
}

void uTab::RepaintHover(HoverInfo before) {
    if (!areaDrawn_) return DrawTabs();
    const auto boxes = Boxes();
    const auto was = PlanTabs(bufStyle_, boxes, selected_, before, scale_);
    const auto now = PlanTabs(bufStyle_, boxes, selected_, {hoverIndex_, hoverState_}, scale_);
    std::int32_t from = INT_MAX, to = INT_MIN;
    for (std::size_t k = 0; k < now.size(); ++k)
        if (was[k].sourceX != now[k].sourceX || was[k].glyphX != now[k].glyphX) {
            from = std::min(from, now[k].picture.x);
            to = std::max(to, now[k].picture.x + now[k].picture.width);
        }
    from = std::max(from, 0);
    to = std::min(to, bufArea_);
    tabsDrawn_ = 0;
    if (from < to) DrawTabsIn(from, to);
}

void uTab::DrawTabsIn(std::int32_t from, std::int32_t to) {
    if (!drawingEnabled_ || !tabArea_ || !background_ || !composite_) return;
    HDC area = tabArea_.get();
    HDC skin = skins_[bufStyle_].get();
    const std::uint32_t* skinBits = skin ? SkinPixels(skin).data() : nullptr;
    const bool whole = from == 0 && to == bufArea_;
    // Until this drawing is finished the area holds no whole drawing (a piece that cannot be
    // made throws out of the middle of it), and the clip goes when it ends either way.
    const bool wasDrawn = areaDrawn_;
    areaDrawn_ = false;
    struct ClipReset {
        HDC dc;
        ~ClipReset() { ::SelectClipRgn(dc, nullptr); }
    } clipReset{area};
    if (!whole) ::IntersectClipRect(area, from, 0, to, bufHeight_);
    ::SetBkMode(area, TRANSPARENT);
    SelectedObject font(area, normalFont_.get());
    ::SetTextColor(area, kCaptionColour);
    ::BitBlt(area, from, 0, to - from, bufHeight_, background_.get(), bufLeft_ + from, 0, SRCCOPY);

    tabsDrawn_ = 0;
    // The plan cuts the skin in 96-DPI pixels; art maps a cut into the skin held, edge by edge.
    const DpiScale art = ArtSetScale(skinSets_[bufStyle_]);
    const std::int32_t end = art.Pixels(kPieceEnd);
    const auto ops = PlanTabs(bufStyle_, Boxes(), selected_, {hoverIndex_, hoverState_}, scale_);
    for (const auto& op : ops) {
        const PaintRect& p = op.picture;
        if (p.x >= to || p.x + p.width <= from) continue;
        ++tabsDrawn_;
        if (op.selected) {
            ::SelectObject(area, boldFont_.get());
            ::SetTextColor(area, kSelectedCaptionColour);
        }
        if (skin && p.width > 0 && p.height > 0 && op.pieceWidth > 0) {
            const std::int32_t x = art.Pixels(op.sourceX);
            const auto& piece = CachedPiece(skin, x, art.Pixels(op.sourceX + op.pieceWidth) - x,
                                            art.Pixels(op.pieceHeight), end, op.pictureEnd, p.width, p.height);
            ::GdiFlush();  // the text drawn so far lands before the pixels are written
            KeyedCopy(areaBits_, bufArea_, bufHeight_, p.x, p.y, piece.data(), p.width, 0, 0, p.width, p.height,
                      from, to);
        }
        DrawTabText(area, items_->Item(op.index)->Caption(), op.caption.x, op.caption.y, op.caption.width,
                    op.caption.height);
        // A glyph outside the skin is not drawn, as a failed transparent copy would draw nothing.
        const std::int32_t glyphX = art.Pixels(op.glyphX), glyph = art.Pixels(op.glyphX + kGlyphSize) - glyphX;
        if (op.closeButton && skinBits && glyphX >= 0 && glyphX + glyph <= skinWidth_ && skinHeight_ >= glyph &&
            op.buttonWidth > 0 && op.buttonHeight > 0) {
            ::GdiFlush();
            if (op.buttonWidth == glyph && op.buttonHeight == glyph) {
                KeyedCopy(areaBits_, bufArea_, bufHeight_, op.buttonX, op.buttonY, skinBits, skinWidth_, glyphX, 0,
                          glyph, glyph, from, to);
            } else {
                const auto& glyphPixels = CachedPiece(skin, glyphX, glyph, glyph, 0, 0, op.buttonWidth, op.buttonHeight);
                KeyedCopy(areaBits_, bufArea_, bufHeight_, op.buttonX, op.buttonY, glyphPixels.data(), op.buttonWidth, 0, 0,
                          op.buttonWidth, op.buttonHeight, from, to);
            }
        }
    }
    ::GdiFlush();
    areaDrawn_ = wasDrawn;

    ::BitBlt(composite_.get(), bufLeft_ + from, 0, to - from, bufHeight_, area, from, 0, SRCCOPY);
    if (exists()) {
        WindowDc screen(handle());
        if (screen.get())
            ::BitBlt(screen.get(), bufLeft_ + from, 0, to - from, bufHeight_, composite_.get(), bufLeft_ + from, 0,
                     SRCCOPY);
    }
}

}  // namespace xcyh2
