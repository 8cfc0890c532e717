#include "login/LayeredPicture.h"

#include <gdiplus.h>

#include <utility>

#include "base/win_handles.h"

namespace xcyh2 {

namespace flat = Gdiplus::DllExports;

void LayeredPicture::Apply(HWND hwnd, int resourceId, const std::wstring& resourceType) {
    Release();
    ::SetWindowLongW(hwnd, GWL_EXSTYLE, ::GetWindowLongW(hwnd, GWL_EXSTYLE) | WS_EX_LAYERED);
    gdiplus_.Startup();
    image_ = LoadPngFromRes(resourceId, resourceType);
    size_ = {static_cast<LONG>(image_.Width()), static_cast<LONG>(image_.Height())};

    WindowDc windowDc(hwnd);
    memDc_ = ::CreateCompatibleDC(windowDc.get());
    // A top-down 32-bit DIB keeps the alpha channel that UpdateLayeredWindow needs; a bitmap
    // compatible with a 24-bit screen would drop it.
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = size_.cx;
    bmi.bmiHeader.biHeight = -size_.cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    if (size_.cx > 0 && size_.cy > 0)
        bitmap_ = ::CreateDIBSection(windowDc.get(), &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (memDc_ && bitmap_) previousBitmap_ = ::SelectObject(memDc_, bitmap_);

    if (memDc_ && bitmap_ && image_) {
        Gdiplus::GpGraphics* graphics = nullptr;
        if (flat::GdipCreateFromHDC(memDc_, &graphics) == Gdiplus::Ok) {
            graphics_ = graphics;
            flat::GdipDrawImageRectI(graphics, static_cast<Gdiplus::GpImage*>(image_.get()), 0, 0, size_.cx,
                                     size_.cy);
            flat::GdipFlush(graphics, Gdiplus::FlushIntentionSync);
        }
    }

    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    POINT source{0, 0};
    SIZE size = size_;
    ::UpdateLayeredWindow(hwnd, windowDc.get(), nullptr, &size, memDc_, &source, 0, &blend, ULW_ALPHA);
}

void LayeredPicture::Release() {
    image_.Reset();
    if (graphics_) flat::GdipDeleteGraphics(static_cast<Gdiplus::GpGraphics*>(std::exchange(graphics_, nullptr)));
    gdiplus_.Shutdown();
    if (memDc_ && previousBitmap_) ::SelectObject(memDc_, std::exchange(previousBitmap_, nullptr));
    if (bitmap_) ::DeleteObject(std::exchange(bitmap_, nullptr));
    if (memDc_) ::DeleteDC(std::exchange(memDc_, nullptr));
    size_ = {0, 0};
}

}  // namespace xcyh2
