#include "picture/LayeredPicture.h"

#include <utility>

#include "base/ComApartment.h"
#include "base/win_handles.h"
#include "picture/GdiPlus.h"
#include "picture/ImageBitmap.h"

namespace xcyh2 {

void LayeredPicture::Apply(HWND hwnd, int resourceId, const std::wstring& resourceType, const DpiScale& scale) {
    Compose(resourceId, resourceType, scale);
    Present(hwnd);
}

void LayeredPicture::Compose(int resourceId, const std::wstring& resourceType, const DpiScale& scale) {
    Release();
    scale_ = scale;
    // Released in reverse order: the image, GDI+, then COM.
    ComApartment com;  // GDI+ decodes through COM
    GdiplusSession gdiplus;
    gdiplus.Startup();
    ResourceImage image = LoadPngFromRes(resourceId, resourceType);
    size_ = {scale.Pixels(image.Width()), scale.Pixels(image.Height())};

    memDc_ = ::CreateCompatibleDC(nullptr);
    // A 32-bit bitmap keeps the alpha channel that UpdateLayeredWindow needs.
    std::uint32_t* pixels = nullptr;
    bitmap_ = CreatePixelBitmap(size_.cx, size_.cy, pixels);
    if (memDc_ && bitmap_) previousBitmap_ = ::SelectObject(memDc_, bitmap_);
    if (memDc_ && bitmap_) image.Draw(memDc_, size_.cx, size_.cy);
}

void LayeredPicture::Present(HWND hwnd) {
    ::SetWindowLongW(hwnd, GWL_EXSTYLE, ::GetWindowLongW(hwnd, GWL_EXSTYLE) | WS_EX_LAYERED);
    WindowDc windowDc(hwnd);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    POINT source{0, 0};
    SIZE size = size_;
    ::UpdateLayeredWindow(hwnd, windowDc.get(), nullptr, &size, memDc_, &source, 0, &blend, ULW_ALPHA);
}

void LayeredPicture::Release() {
    if (memDc_ && previousBitmap_) ::SelectObject(memDc_, std::exchange(previousBitmap_, nullptr));
    if (bitmap_) ::DeleteObject(std::exchange(bitmap_, nullptr));
    if (memDc_) ::DeleteDC(std::exchange(memDc_, nullptr));
    size_ = {0, 0};
}

}  // namespace xcyh2
