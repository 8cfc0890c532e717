#include "browser/PageView.h"

#include <algorithm>

#include "base/win_handles.h"

namespace xcyh2::browser {

void PageView::ShowNewTop() {
    scrollY_ = 0;
    hideScrollBar_ = false;
    LayOutAll();
}

void PageView::SetOverflowHidden(bool hidden) {
    hideScrollBar_ = hidden;
    UpdateScrollBar();
}

void PageView::SetZoom(int percent) {
    int old = fonts_.Zoom();
    if (percent <= 0 || percent == old) return;
    fonts_.SetZoom(percent);
    scrollY_ = ::MulDiv(scrollY_, percent, old);
    // Laid out again at the next LayOutAll, whatever the width.
    if (pages_.top) pages_.top->layoutWidth = -1;
    for (FrameSlot& slot : pages_.frames) {
        if (slot.page) slot.page->layoutWidth = -1;
    }
    LayOutAll();
}

void PageView::LayOutPage(LoadedPage& page, int width, HDC dc) {
    if (page.layoutWidth == width) return;
    GdiMeasurer measurer(dc, fonts_);
    html::LayoutOptions options;
    options.viewportWidth = width;
    options.zoom = fonts_.Zoom();
    page.layout = html::LayOut(page.doc, measurer, options);
    page.layoutWidth = width;
}

void PageView::LayOutAll() {
    if (!window_.exists() || !pages_.top) return;
    RECT client;
    ::GetClientRect(window_.handle(), &client);
    int width = client.right - client.left;
    unique_hdc dc(::CreateCompatibleDC(nullptr));
    LayOutPage(*pages_.top, width, dc.get());
    for (const html::PlacedFrame& box : pages_.top->layout.frames) {
        if (LoadedPage* inner = pages_.FramePage(box.frame)) LayOutPage(*inner, box.width, dc.get());
    }
    UpdateScrollBar();
    ::InvalidateRect(window_.handle(), nullptr, FALSE);
}

void PageView::UpdateScrollBar() {
    if (!window_.exists()) return;
    RECT client;
    ::GetClientRect(window_.handle(), &client);
    int pageHeight = pages_.top ? pages_.top->layout.height : 0;
    SCROLLINFO si{sizeof(si)};
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = hideScrollBar_ ? 0 : (pageHeight > 0 ? pageHeight - 1 : 0);
    si.nPage = client.bottom;
    int maxScroll = std::max(0, pageHeight - static_cast<int>(client.bottom));
    scrollY_ = std::clamp(scrollY_, 0, maxScroll);
    si.nPos = scrollY_;
    ::SetScrollInfo(window_.handle(), SB_VERT, &si, TRUE);
}

void PageView::ScrollTo(int y) {
    if (hideScrollBar_) return;  // overflow hidden: the reader cannot scroll the page
    RECT client;
    ::GetClientRect(window_.handle(), &client);
    int pageHeight = pages_.top ? pages_.top->layout.height : 0;
    int maxScroll = std::max(0, pageHeight - static_cast<int>(client.bottom));
    y = std::clamp(y, 0, maxScroll);
    if (y == scrollY_) return;
    scrollY_ = y;
    UpdateScrollBar();
    ::InvalidateRect(window_.handle(), nullptr, FALSE);
}

void PageView::OnPaint() {
    HWND hwnd = window_.handle();
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd, &ps);
    RECT client;
    ::GetClientRect(hwnd, &client);
    // Drawn off screen first, so scrolling does not flicker.
    unique_hdc mem(::CreateCompatibleDC(dc));
    unique_hbitmap bitmap(::CreateCompatibleBitmap(dc, std::max(1L, client.right), std::max(1L, client.bottom)));
    if (mem && bitmap) {
        SelectedObject selected(mem.get(), bitmap.get());
        Paint(mem.get());
        ::BitBlt(dc, 0, 0, client.right, client.bottom, mem.get(), 0, 0, SRCCOPY);
    } else {
        Paint(dc);
    }
    ::EndPaint(hwnd, &ps);
}

void PageView::PaintPage(HDC dc, const LoadedPage& page, int originX, int originY, const RECT& clip) {
    auto [first, last] = page.layout.LinesBetween(clip.top - originY, clip.bottom - originY);
    for (std::size_t i = first; i < last; ++i) {
        const html::LayoutLine& line = page.layout.lines[i];
        for (std::size_t r = line.firstRun; r < line.firstRun + line.runCount && r < page.layout.runs.size(); ++r) {
            const html::PlacedRun& run = page.layout.runs[r];
            SelectedObject font(dc, fonts_.Get(run.font));
            ::SetTextColor(dc, run.link >= 0 ? RGB(0, 0, 204) : RGB(0, 0, 0));
            ::TextOutW(dc, originX + run.x, originY + run.y, reinterpret_cast<const wchar_t*>(run.text.data()),
                       static_cast<int>(run.text.size()));
        }
    }
}

void PageView::Paint(HDC dc) {
    RECT client;
    ::GetClientRect(window_.handle(), &client);
    unique_hbrush white(::CreateSolidBrush(RGB(255, 255, 255)));
    ::FillRect(dc, &client, white.get());
    if (!pages_.top) return;
    ::SetBkMode(dc, TRANSPARENT);
    PaintPage(dc, *pages_.top, 0, -scrollY_, client);
    unique_hbrush border(::CreateSolidBrush(RGB(160, 160, 160)));
    const int borderWidth = std::max(1, html::Zoomed(1, fonts_.Zoom()));
    for (const html::PlacedFrame& box : pages_.top->layout.frames) {
        RECT r{box.x, box.y - scrollY_, box.x + box.width, box.y - scrollY_ + box.height};
        RECT visible;
        if (!::IntersectRect(&visible, &r, &client)) continue;
        for (int i = 0; i < borderWidth; ++i) {
            RECT edge{r.left + i, r.top + i, r.right - i, r.bottom - i};
            ::FrameRect(dc, &edge, border.get());
        }
        const LoadedPage* inner = pages_.FramePage(box.frame);
        if (!inner) continue;
        int saved = ::SaveDC(dc);
        ::IntersectClipRect(dc, r.left + borderWidth, r.top + borderWidth, r.right - borderWidth,
                            r.bottom - borderWidth);
        PaintPage(dc, *inner, r.left, r.top, visible);
        ::RestoreDC(dc, saved);
    }
}

}  // namespace xcyh2::browser
