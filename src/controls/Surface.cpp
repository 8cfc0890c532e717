#include "controls/Surface.h"

#include <cmath>

namespace xcyh2 {

COLORREF ToRgb(std::uint32_t colour) {
    if (colour & 0x80000000u) return ::GetSysColor(static_cast<int>(colour & 0xFF));
    return colour & 0xFFFFFF;
}

Surface::Surface() {
    dc_.reset(::CreateCompatibleDC(nullptr));
    MakeFont();
}

Surface::~Surface() {
    if (dc_) {
        if (originalFont_) ::SelectObject(dc_.get(), originalFont_);
        if (originalBitmap_) ::SelectObject(dc_.get(), originalBitmap_);
    }
    fontHandle_.reset();
    image_.reset();
    dc_.reset();
}

void Surface::Resize(int width, int height) {
    width = width < 1 ? 1 : width;
    height = height < 1 ? 1 : height;
    if (!dc_ || (image_ && width == width_ && height == height_)) return;
    unique_hbitmap image;
    {
        WindowDc screen(nullptr);
        image.reset(::CreateCompatibleBitmap(screen.get(), width, height));
    }
    if (!image) return;  // keeps the old image: drawing goes on at the old size
    HGDIOBJ previous = ::SelectObject(dc_.get(), image.get());
    if (!originalBitmap_) originalBitmap_ = previous;
    image_ = std::move(image);
    width_ = width;
    height_ = height;
    Cls();
}

void Surface::SetDrawMode(short mode) {
    drawMode_ = mode;
    if (dc_) ::SetROP2(dc_.get(), mode);
}

void Surface::SetFont(const FontDesc& font) {
    if (font == font_ && fontHandle_) return;
    font_ = font;
    MakeFont();
}

void Surface::SetDpi(int dpi) {
    if (dpi == dpi_) return;
    dpi_ = dpi;
    MakeFont();
}

void Surface::MakeFont() {
    if (!dc_) return;
    LOGFONTW lf{};
    int dpi = dpi_;
    if (dpi <= 0) {
        WindowDc screen(nullptr);
        dpi = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
    }
    lf.lfHeight = -static_cast<LONG>(std::lround(font_.size * dpi / 72.0));
    lf.lfWeight = font_.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = font_.italic;
    lf.lfUnderline = font_.underline;
    lf.lfStrikeOut = font_.strikethrough;
    lf.lfCharSet = static_cast<BYTE>(font_.charset);
    lf.lfQuality = DEFAULT_QUALITY;
    lstrcpynW(lf.lfFaceName, font_.name.c_str(), LF_FACESIZE);
    unique_hfont font(::CreateFontIndirectW(&lf));
    if (!font) return;
    HGDIOBJ previous = ::SelectObject(dc_.get(), font.get());
    if (!originalFont_) originalFont_ = previous;
    fontHandle_ = std::move(font);
}

void Surface::Cls() {
    if (!dc_) return;
    RECT all{0, 0, width_, height_};
    ::SetDCBrushColor(dc_.get(), ToRgb(backColor_));
    ::FillRect(dc_.get(), &all, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
}

SIZE Surface::TextExtent(const std::wstring& text) const {
    SIZE size{0, 0};
    if (dc_) ::GetTextExtentPoint32W(dc_.get(), text.c_str(), static_cast<int>(text.size()), &size);
    if (text.empty()) size.cx = 0;
    return size;
}

void Surface::Print(const std::wstring& text, int x, int y) {
    if (!dc_ || text.empty()) return;
    ::SetBkMode(dc_.get(), TRANSPARENT);
    ::SetTextColor(dc_.get(), ToRgb(foreColor_));
    ::TextOutW(dc_.get(), x, y, text.c_str(), static_cast<int>(text.size()));
}

void Surface::Print(const std::wstring& text, const RECT& box) {
    if (!dc_ || text.empty()) return;
    ::SetBkMode(dc_.get(), TRANSPARENT);
    ::SetTextColor(dc_.get(), ToRgb(foreColor_));
    RECT r = box;
    ::DrawTextW(dc_.get(), text.c_str(), static_cast<int>(text.size()), &r, DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
}

void Surface::DrawFocusRect(const RECT& rect) {
    if (!dc_) return;
    // The dotted rectangle is drawn in the text colours; black on white gives the usual look.
    ::SetTextColor(dc_.get(), RGB(0, 0, 0));
    ::SetBkColor(dc_.get(), RGB(255, 255, 255));
    ::DrawFocusRect(dc_.get(), &rect);
}

void Surface::PaintTo(HDC target, const RECT& area) const {
    if (!dc_) return;
    ::BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, dc_.get(), area.left, area.top,
             SRCCOPY);
}

bool Surface::PaintMessage(HWND window, UINT msg, WPARAM wParam, LRESULT& result) const {
    result = 0;
    switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(window, &ps);
            PaintTo(dc, ps.rcPaint);
            ::EndPaint(window, &ps);
            return true;
        }
        case WM_PRINTCLIENT:
            PaintTo(reinterpret_cast<HDC>(wParam), {0, 0, width_, height_});
            return true;
        case WM_ERASEBKGND:
            result = 1;
            return true;
        default:
            return false;
    }
}

}  // namespace xcyh2
