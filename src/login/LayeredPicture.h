// Turns a window into a per-pixel-alpha layered window whose whole look is a picture from the
// program's resources, and owns everything that takes: its own GDI+ session, the decoded image,
// a memory DC with a bitmap of the picture's size, and a GDI+ graphics object on that DC.
// The picture is composed once; the system keeps it, so moving the window redraws nothing.
#pragma once

#include <windows.h>

#include <string>

#include "login/GdiPlus.h"

namespace xcyh2 {

class LayeredPicture {
public:
    LayeredPicture() = default;
    ~LayeredPicture() { Release(); }
    LayeredPicture(const LayeredPicture&) = delete;
    LayeredPicture& operator=(const LayeredPicture&) = delete;

    // Adds WS_EX_LAYERED, starts GDI+, decodes the picture, draws it into the memory bitmap and
    // hands that to UpdateLayeredWindow. A picture that cannot be loaded leaves the window
    // without content; nothing is reported.
    void Apply(HWND hwnd, int resourceId, const std::wstring& resourceType);

    // Releases in this order: image, graphics, GDI+, then the memory DC's bitmap and the DC.
    void Release();

    // The picture's size (0 x 0 when none was decoded).
    SIZE size() const { return size_; }
    HDC memoryDc() const { return memDc_; }

private:
    GdiplusSession gdiplus_;
    ResourceImage image_;
    HDC memDc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previousBitmap_ = nullptr;
    void* graphics_ = nullptr;  // GpGraphics*
    SIZE size_{0, 0};
};

}  // namespace xcyh2
