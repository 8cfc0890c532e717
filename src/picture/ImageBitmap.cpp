#include "picture/ImageBitmap.h"

#include <algorithm>
#include <cstdint>

#include "base/win_handles.h"
#include "picture/KeyedPixels.h"

namespace xcyh2 {

HBITMAP CreatePixelBitmap(int width, int height, std::uint32_t*& pixels) {
    pixels = nullptr;
    if (width <= 0 || height <= 0) return nullptr;
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = -height;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    pixels = static_cast<std::uint32_t*>(bits);
    return bitmap;
}

HBITMAP ImageToBitmap(const ResourceImage& image, COLORREF background) {
    if (!image) return nullptr;
    int width = static_cast<int>(image.Width());
    int height = static_cast<int>(image.Height());
    WindowDc screen(nullptr);
    unique_hbitmap bitmap(::CreateCompatibleBitmap(screen.get(), width, height));
    unique_hdc dc(::CreateCompatibleDC(screen.get()));
    if (!bitmap || !dc) return nullptr;
    {
        SelectedObject selected(dc.get(), bitmap.get());
        unique_hbrush brush(::CreateSolidBrush(background));
        RECT r{0, 0, width, height};
        ::FillRect(dc.get(), &r, brush.get());
        image.Draw(dc.get(), width, height);
    }
    return bitmap.release();
}

HBITMAP ImageToBitmap(const ResourceImage& image, COLORREF background, int width, int height) {
    if (!image) return nullptr;
    if (width == static_cast<int>(image.Width()) && height == static_cast<int>(image.Height()))
        return ImageToBitmap(image, background);
    // Drawn into a transparent 32-bit bitmap, which keeps the filter's alpha.
    std::uint32_t* pixels = nullptr;
    unique_hbitmap bitmap(CreatePixelBitmap(width, height, pixels));
    unique_hdc dc(::CreateCompatibleDC(nullptr));
    if (!bitmap || !dc || !pixels) return nullptr;
    const std::size_t count = static_cast<std::size_t>(width) * height;
    std::fill_n(pixels, count, 0u);
    {
        SelectedObject selected(dc.get(), bitmap.get());
        image.Draw(dc.get(), width, height, background);
    }
    ::GdiFlush();  // GDI is done with the bits before they are read
    SnapToColourKey(pixels, count, background);
    return bitmap.release();
}

}  // namespace xcyh2
