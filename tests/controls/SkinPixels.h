// Pixels for the skinned controls' tests: a bitmap resource or a surface read into memory once,
// so a test can compare whole frames and bars with the pictures they come from.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "picture/ArtSets.h"

namespace xcyh2::test {

class Pixels {
public:
    // Reads width x height pixels of a device context from its top-left corner.
    static Pixels FromDc(HDC dc, int width, int height) {
        Pixels p(width, height);
        HBITMAP copy = ::CreateCompatibleBitmap(dc, width, height);
        HDC mem = ::CreateCompatibleDC(dc);
        HGDIOBJ old = ::SelectObject(mem, copy);
        ::BitBlt(mem, 0, 0, width, height, dc, 0, 0, SRCCOPY);
        ::SelectObject(mem, old);
        p.Read(mem, copy);
        ::DeleteDC(mem);
        ::DeleteObject(copy);
        return p;
    }
    static Pixels FromResource(int id) {
        return FromBitmap(static_cast<HBITMAP>(
            ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    }
    // The picture of bitmap id drawn for the 150 % or 200 % art set.
    static Pixels FromArtSet(int id, int set) {
        return FromBitmap(LoadArtSetBitmap(id, ArtKind::kBitmap, set, RGB(0, 0, 0)));
    }

    // A colour value (0x00BBGGRR) as At reports it.
    static std::uint32_t Rgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

    int width() const { return width_; }
    int height() const { return height_; }
    // 0x00RRGGBB.
    std::uint32_t At(int x, int y) const { return data_[static_cast<std::size_t>(y) * width_ + x] & 0xFFFFFF; }

private:
    // Reads the bitmap and deletes it.
    static Pixels FromBitmap(HBITMAP bitmap) {
        BITMAP info{};
        ::GetObjectW(bitmap, sizeof(info), &info);
        Pixels p(info.bmWidth, info.bmHeight);
        HDC screen = ::GetDC(nullptr);
        p.Read(screen, bitmap);
        ::ReleaseDC(nullptr, screen);
        ::DeleteObject(bitmap);
        return p;
    }
    Pixels(int w, int h) : width_(w), height_(h), data_(static_cast<std::size_t>(w) * h) {}
    void Read(HDC dc, HBITMAP bitmap) {
        BITMAPINFO bmi{};
        bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
        bmi.bmiHeader.biWidth = width_;
        bmi.bmiHeader.biHeight = -height_;  // top-down
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        bmi.bmiHeader.biCompression = BI_RGB;
        ::GetDIBits(dc, bitmap, 0, height_, data_.data(), &bmi, DIB_RGB_COLORS);
    }

    int width_, height_;
    std::vector<std::uint32_t> data_;
};

}  // namespace xcyh2::test
