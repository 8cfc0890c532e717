// The strip's painting: the background and the tabs are composed in off-screen surfaces and
// the window only ever receives the finished picture.
#include <algorithm>

#include "tabstrip/TabPaintPlan.h"
#include "tabstrip/uTab.h"

namespace xcyh2 {

namespace {
constexpr COLORREF kTransparent = RGB(255, 0, 255);
constexpr COLORREF kCaptionColour = RGB(0, 0, 0);
constexpr COLORREF kSelectedCaptionColour = RGB(4, 96, 163);
}  // namespace

void uTab::CreateBuffers() {
    FreeBuffers();
    bufStyle_ = tabStyle_ == 1 ? 1 : 0;
    bufLeft_ = leftSize_;
    // A strip narrower than its margins still gets surfaces of at least one pixel.
    bufWidth_ = std::max(1, StripWidth());
    bufHeight_ = MetricsOf(bufStyle_).stripHeight;
    bufArea_ = std::max(1, bufWidth_ - leftSize_ - rightSize_);
    composite_ = mdlTabAPI::MemDC(mdlTabAPI::CreateMemDC(bufWidth_, bufHeight_));
    background_ = mdlTabAPI::MemDC(mdlTabAPI::CreateMemDC(bufWidth_, bufHeight_));
    tabArea_ = mdlTabAPI::MemDC(mdlTabAPI::CreateMemDC(bufArea_, bufHeight_));
}

void uTab::FreeBuffers() {
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
        ::StretchBlt(background_.get(), 0, 0, bufWidth_, bufHeight_, skin, 0, 0, 1, SkinColumnHeight(bufStyle_),
                     SRCCOPY);
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

void uTab::DrawTabs() {
    if (!drawingEnabled_ || !tabArea_ || !background_ || !composite_) return;
    HDC area = tabArea_.get();
    HDC skin = skins_[bufStyle_].get();
    ::SetBkMode(area, TRANSPARENT);
    SelectedObject font(area, normalFont_.get());
    ::SetTextColor(area, kCaptionColour);
    ::BitBlt(area, 0, 0, bufArea_, bufHeight_, background_.get(), bufLeft_, 0, SRCCOPY);

    const auto ops = PlanTabs(bufStyle_, Boxes(), selected_, {hoverIndex_, hoverState_});
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
