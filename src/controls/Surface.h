// A drawing surface that keeps what is drawn on it: an off-screen image the size of a window's
// client area, with the classic surface's settings (background colour and style, text font and
// colour, draw mode, a tag). Controls and forms draw into it and show it when painted, so
// nothing drawn is lost when the window is covered. Sizes are pixels.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "base/win_handles.h"
#include "controls/PropertyText.h"

namespace xcyh2 {

// A colour value as RGB: system colour values (top bit set) become the system's colour now.
COLORREF ToRgb(std::uint32_t colour);

inline constexpr std::uint32_t kButtonFaceColour = 0x8000000F;
inline constexpr std::uint32_t kButtonTextColour = 0x80000012;

class Surface {
public:
    Surface();
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    // A new, cleared image of that size (at least 1 x 1). Until the first resize the surface
    // has no image of its own.
    void Resize(int width, int height);
    int Width() const { return width_; }
    int Height() const { return height_; }

    // The device context of the image, with the font, colours and draw mode selected.
    HDC hdc() const { return dc_.get(); }
    HBITMAP Image() const { return image_.get(); }

    std::uint32_t BackColor() const { return backColor_; }
    void SetBackColor(std::uint32_t colour) { backColor_ = colour; }
    // 1 opaque, 0 transparent.
    short BackStyle() const { return backStyle_; }
    void SetBackStyle(short style) { backStyle_ = style; }
    std::uint32_t ForeColor() const { return foreColor_; }
    void SetForeColor(std::uint32_t colour) { foreColor_ = colour; }
    short DrawMode() const { return drawMode_; }
    void SetDrawMode(short mode);
    const FontDesc& Font() const { return font_; }
    void SetFont(const FontDesc& font);
    // The DPI the font's point size is measured at: the window's own; 0 (the start) the screen's.
    void SetDpi(int dpi);
    int Dpi() const { return dpi_; }  // 0 until set: 96
    std::wstring Tag;

    // Fills the image with the background colour.
    void Cls();
    SIZE TextExtent(const std::wstring& text) const;
    // Prints text with its top-left corner at x, y over what is there.
    void Print(const std::wstring& text, int x, int y);
    // Prints text inside a box, broken into lines between words (a label's text).
    void Print(const std::wstring& text, const RECT& box);
    void DrawFocusRect(const RECT& rect);

    // Shows the image in a window's paint handler.
    void PaintTo(HDC target, const RECT& area) const;
    // For the window procedure of a window that shows this surface: paints it for WM_PAINT and
    // WM_PRINTCLIENT and leaves the background to it (WM_ERASEBKGND). False for other messages.
    bool PaintMessage(HWND window, UINT msg, WPARAM wParam, LRESULT& result) const;

private:
    void MakeFont();

    // In the order they are made; released in reverse.
    unique_hdc dc_;
    unique_hbitmap image_;
    HGDIOBJ originalBitmap_ = nullptr;
    unique_hfont fontHandle_;
    HGDIOBJ originalFont_ = nullptr;
    int width_ = 0, height_ = 0;
    std::uint32_t backColor_ = kButtonFaceColour;
    short backStyle_ = 1;
    std::uint32_t foreColor_ = kButtonTextColour;
    short drawMode_ = R2_COPYPEN;
    FontDesc font_;
    int dpi_ = 0;
};

}  // namespace xcyh2
