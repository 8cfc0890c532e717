// Drawing helpers of the tab strip: memory surfaces, the nine-grid stretch, transparent copies,
// text in a rectangle, and changing window style bits.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace xcyh2::mdlTabAPI {

// A surface call that failed; the description names the call, in the shell's own words.
class DrawingError : public std::runtime_error {
public:
    explicit DrawingError(std::wstring description);
    const std::wstring& Description() const { return description_; }

private:
    std::wstring description_;
};

void ModifyWindowLong(HWND window, int index, LONG clearBits, LONG setBits, UINT frameFlags);

// A memory surface with a new screen-compatible bitmap of that size selected; throws
// DrawingError. Give it back with DeleteMemDC.
HDC CreateMemDC(int width, int height);
// A memory surface with the given bitmap selected (the surface then owns the bitmap).
HDC CreateBitmapDC(HBITMAP bitmap);
// A memory surface with a new 32-bit top-down DIB section selected, whose pixels (BGRX, rows of
// width) the caller may read and write after GdiFlush; throws DrawingError.
HDC CreateDibDC(int width, int height, std::uint32_t** bits);
// The surface's pixels as 32-bit BGRX rows, top row first; throws DrawingError.
std::vector<std::uint32_t> ReadPixels(HDC surface, int width, int height);
// Deletes the surface and the bitmap selected into it.
void DeleteMemDC(HDC surface);

// Stretches the source rectangle onto the target by the nine-grid rule: corners copied as they
// are, edges stretched along one side, the centre both ways. Nothing is drawn (result 0) when a
// size is 0 or less.
// The nine-grid stretch with HALFTONE onto a surface of exactly width x height, at its origin.
void ComposeNineGrid(HDC target, int width, int height, HDC source, int sx, int sy, int sw, int sh, int left,
                     int top, int right, int bottom);
// A skin piece drawn width x height onto a surface at its origin, in the given stretch mode: its
// left and right ends, sourceEnd pixels of the art, drawn end pixels wide and the middle
// stretched between them; without ends, one stretch of the whole piece. The strip's tab
// pictures and close glyphs at any scale.
void ComposeEnds(HDC target, int width, int height, HDC source, int sx, int sy, int sw, int sh, int sourceEnd,
                 int end, int mode);
BOOL NineGridBlt(HDC target, int x, int y, int width, int height, HDC source, int sx, int sy, int sw, int sh,
                 int left, int top, int right, int bottom, std::optional<COLORREF> transparent = std::nullopt);

BOOL TransBlt(HDC target, int x, int y, int width, int height, HDC source, int sx, int sy, COLORREF transparent);

int DrawTextRect(HDC surface, const std::wstring& text, int count, int x, int y, int width, int height, UINT flags);

// A surface from CreateMemDC / CreateBitmapDC, deleted with DeleteMemDC.
class MemDC {
public:
    MemDC() = default;
    explicit MemDC(HDC dc) : dc_(dc) {}
    ~MemDC() { reset(); }
    MemDC(MemDC&& other) noexcept : dc_(other.dc_) { other.dc_ = nullptr; }
    MemDC& operator=(MemDC&& other) noexcept {
        if (this != &other) {
            reset();
            dc_ = other.dc_;
            other.dc_ = nullptr;
        }
        return *this;
    }
    MemDC(const MemDC&) = delete;
    MemDC& operator=(const MemDC&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }
    void reset() {
        if (dc_) DeleteMemDC(dc_);
        dc_ = nullptr;
    }

private:
    HDC dc_ = nullptr;
};

}  // namespace xcyh2::mdlTabAPI
