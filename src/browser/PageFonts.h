// The built-in engine's GDI text: one font per text class of a page (heading level, link) at the
// page's zoom, made on first use and kept until the zoom changes, and the measurer the
// window-free layout asks for text sizes.
#pragma once

#include <windows.h>

#include <map>
#include <string_view>

#include "base/win_handles.h"
#include "browser/html/Layout.h"

namespace xcyh2::browser {

class FontSet {
public:
    HFONT Get(const html::FontClass& font);

    // Per cent; a new zoom lets go of the fonts made for the old one.
    int Zoom() const { return zoom_; }
    void SetZoom(int percent);

private:
    std::map<int, unique_hfont> fonts_;
    int zoom_ = 100;
};

class GdiMeasurer : public html::TextMeasurer {
public:
    GdiMeasurer(HDC dc, FontSet& fonts) : dc_(dc), fonts_(fonts) {}
    int TextWidth(std::u16string_view text, const html::FontClass& font) override;
    int LineHeight(const html::FontClass& font) override;

private:
    HDC dc_;
    FontSet& fonts_;
};

}  // namespace xcyh2::browser
