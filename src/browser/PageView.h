// The built-in engine's layout and painting: lays the pages out for the window's width and the
// page zoom with its fonts, keeps the vertical scroll position and the scroll bar, and draws the
// top page with its frames' documents inside their boxes.
#pragma once

#include <windows.h>

#include <optional>

#include "browser/PageFonts.h"
#include "browser/PageSet.h"
#include "forms/Window.h"

namespace xcyh2::browser {

class PageView {
public:
    PageView(const forms::Window& window, PageSet& pages) : window_(window), pages_(pages) {}

    // A new top page: shown from its top, with its scroll bar, laid out.
    void ShowNewTop();
    // Lays out every document whose width changed, then updates the scroll bar and repaints.
    void LayOutAll();
    // The root's overflow "hidden": no scroll bar, and the reader cannot scroll.
    void SetOverflowHidden(bool hidden);
    // Per cent. Text, margins, gaps, frame boxes and their borders grow with it; the pages are
    // laid out again from what was fetched, keeping the same part of the page in view.
    void SetZoom(int percent);

    int ScrollY() const { return scrollY_; }
    void ScrollTo(int y);

    // The link at a point of the client area.
    std::optional<LinkHit> LinkAt(POINT client) const { return pages_.LinkAt(client.x, client.y + scrollY_); }

    // WM_PAINT.
    void OnPaint();

private:
    void LayOutPage(LoadedPage& page, int width, HDC dc);
    void UpdateScrollBar();
    void Paint(HDC dc);
    void PaintPage(HDC dc, const LoadedPage& page, int originX, int originY, const RECT& clip);

    const forms::Window& window_;
    PageSet& pages_;
    FontSet fonts_;
    bool hideScrollBar_ = false;
    int scrollY_ = 0;
};

}  // namespace xcyh2::browser
