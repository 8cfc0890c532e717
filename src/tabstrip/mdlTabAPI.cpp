#include "tabstrip/mdlTabAPI.h"

#include <algorithm>

#include "base/utf.h"

namespace xcyh2::mdlTabAPI {

DrawingError::DrawingError(std::wstring description)
    : std::runtime_error(WideToUtf8(description)), description_(std::move(description)) {}

void ModifyWindowLong(HWND window, int index, LONG clearBits, LONG setBits, UINT frameFlags) {
    LONG old = ::GetWindowLongA(window, index);
    LONG now = (old & ~clearBits) | setBits;
    if (now == old) return;
    ::SetWindowLongA(window, index, now);
    if (frameFlags != 0)
        ::SetWindowPos(window, nullptr, 0, 0, 0, 0,
                       frameFlags | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {

// A memory surface compatible with the screen, with the bitmap selected into it. When the surface
// cannot be made, a bitmap the surface was to own is deleted.
HDC SurfaceWith(HBITMAP bitmap, bool owned) {
    HDC screen = ::GetDC(nullptr);
    HDC memory = screen ? ::CreateCompatibleDC(screen) : nullptr;
    if (screen) ::ReleaseDC(nullptr, screen);
    if (!memory) {
        if (owned) ::DeleteObject(bitmap);
        throw DrawingError(screen ? L"CreateCompatibleDC调用失败" : L"GetDC调用失败");
    }
    ::SelectObject(memory, bitmap);
    return memory;
}

}  // namespace

HDC CreateMemDC(int width, int height) {
    HDC screen = ::GetDC(nullptr);
    if (!screen) throw DrawingError(L"GetDC调用失败");
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    ::ReleaseDC(nullptr, screen);
    if (!bitmap) throw DrawingError(L"CreateCompatibleBitmap调用失败");
    return SurfaceWith(bitmap, true);
}

HDC CreateBitmapDC(HBITMAP bitmap) { return SurfaceWith(bitmap, false); }

void DeleteMemDC(HDC surface) {
    HGDIOBJ bitmap = ::GetCurrentObject(surface, OBJ_BITMAP);
    ::DeleteDC(surface);
    // A surface that never had a bitmap of ours holds the stock one, which DeleteObject ignores.
    if (bitmap) ::DeleteObject(bitmap);
}

HDC CreateDibDC(int width, int height, std::uint32_t** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down: row y starts at bits + y * width
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (!bitmap) throw DrawingError(L"CreateDIBSection调用失败");
    HDC memory = SurfaceWith(bitmap, true);
    *bits = static_cast<std::uint32_t*>(pixels);
    return memory;
}

std::vector<std::uint32_t> ReadPixels(HDC surface, int width, int height) {
    // Copied through a DIB section of our own: GetDIBits may not read a bitmap that a surface
    // still holds.
    std::uint32_t* bits = nullptr;
    MemDC copy(CreateDibDC(width, height, &bits));
    if (!::BitBlt(copy.get(), 0, 0, width, height, surface, 0, 0, SRCCOPY)) throw DrawingError(L"BitBlt调用失败");
    ::GdiFlush();
    return std::vector<std::uint32_t>(bits, bits + static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
}

void ComposeNineGrid(HDC d, int w, int h, HDC source, int sx, int sy, int sw, int sh, int left, int top, int right,
                     int bottom) {
    ::SetStretchBltMode(d, HALFTONE);
    ::SetBrushOrgEx(d, 0, 0, nullptr);
    if (left <= 0 && top <= 0 && right <= 0 && bottom <= 0) {
        ::StretchBlt(d, 0, 0, w, h, source, sx, sy, sw, sh, SRCCOPY);
    } else {
        left = left > 0 ? left : 0;
        top = top > 0 ? top : 0;
        right = right > 0 ? right : 0;
        bottom = bottom > 0 ? bottom : 0;
        if (left > 0 && top > 0) ::BitBlt(d, 0, 0, left, top, source, sx, sy, SRCCOPY);
        if (right > 0 && top > 0) ::BitBlt(d, w - right, 0, right, top, source, sx + sw - right, sy, SRCCOPY);
        if (left > 0 && bottom > 0)
            ::BitBlt(d, 0, h - bottom, left, bottom, source, sx, sy + sh - bottom, SRCCOPY);
        if (right > 0 && bottom > 0)
            ::BitBlt(d, w - right, h - bottom, right, bottom, source, sx + sw - right, sy + sh - bottom, SRCCOPY);
        const int midH = h - top - bottom, srcMidH = sh - top - bottom;
        const int midW = w - left - right, srcMidW = sw - left - right;
        if (left > 0)
            ::StretchBlt(d, 0, top, left, midH, source, sx, sy + top, left, srcMidH, SRCCOPY);
        if (right > 0)
            ::StretchBlt(d, w - right, top, right, midH, source, sx + sw - right, sy + top, right, srcMidH, SRCCOPY);
        if (top > 0) ::StretchBlt(d, left, 0, midW, top, source, sx + left, sy, srcMidW, top, SRCCOPY);
        if (bottom > 0)
            ::StretchBlt(d, left, h - bottom, midW, bottom, source, sx + left, sy + sh - bottom, srcMidW, bottom,
                         SRCCOPY);
        ::StretchBlt(d, left, top, midW, midH, source, sx + left, sy + top, srcMidW, srcMidH, SRCCOPY);
    }
}

void ComposeEnds(HDC d, int w, int h, HDC source, int sx, int sy, int sw, int sh, int sourceEnd, int end,
                 int mode) {
    ::SetStretchBltMode(d, mode);
    ::SetBrushOrgEx(d, 0, 0, nullptr);
    if (end <= 0 || sourceEnd <= 0) {
        ::StretchBlt(d, 0, 0, w, h, source, sx, sy, sw, sh, SRCCOPY);
        return;
    }
    // A picture narrower than its two ends at this scale shares its width between them.
    end = std::min(end, w / 2);
    ::StretchBlt(d, 0, 0, end, h, source, sx, sy, sourceEnd, sh, SRCCOPY);
    ::StretchBlt(d, w - end, 0, end, h, source, sx + sw - sourceEnd, sy, sourceEnd, sh, SRCCOPY);
    ::StretchBlt(d, end, 0, w - 2 * end, h, source, sx + sourceEnd, sy, sw - 2 * sourceEnd, sh, SRCCOPY);
}

BOOL NineGridBlt(HDC target, int x, int y, int w, int h, HDC source, int sx, int sy, int sw, int sh, int left,
                 int top, int right, int bottom, std::optional<COLORREF> transparent) {
    // Negative sizes arise only from absurd layouts; they draw nothing rather than mirror.
    if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return 0;
    MemDC t(CreateMemDC(w, h));
    HDC d = t.get();
    ComposeNineGrid(d, w, h, source, sx, sy, sw, sh, left, top, right, bottom);
    if (transparent) return TransBlt(target, x, y, w, h, d, 0, 0, *transparent);
    return ::BitBlt(target, x, y, w, h, d, 0, 0, SRCCOPY);
}

BOOL TransBlt(HDC target, int x, int y, int w, int h, HDC source, int sx, int sy, COLORREF transparent) {
    return ::TransparentBlt(target, x, y, w, h, source, sx, sy, w, h, transparent);
}

int DrawTextRect(HDC surface, const std::wstring& text, int count, int x, int y, int w, int h, UINT flags) {
    RECT r;
    ::SetRect(&r, x, y, x + w, y + h);
    return ::DrawTextW(surface, text.c_str(), count, &r, flags);
}

}  // namespace xcyh2::mdlTabAPI
