// A picture as the controls take it: a bitmap or an icon with its size in HIMETRIC (as the
// classic picture object reports it), and the bitmap resource it was loaded from, so a control
// can keep a reference to it in its property bag.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "base/win_handles.h"

namespace xcyh2 {

class Picture {
public:
    // Takes ownership of the handle; nullptr for no handle.
    static std::shared_ptr<Picture> FromBitmap(HBITMAP bitmap, std::int32_t resourceId = 0);
    static std::shared_ptr<Picture> FromIcon(HICON icon);
    // The bitmap resource id of the module (the program when nullptr); nullptr when it has no
    // such bitmap or the bitmap cannot be read.
    static std::shared_ptr<Picture> LoadBitmapResource(std::int32_t id, HMODULE module = nullptr);

    HBITMAP Bitmap() const { return bitmap_.get(); }
    HICON Icon() const { return icon_.get(); }
    std::int32_t PixelWidth() const { return width_; }
    std::int32_t PixelHeight() const { return height_; }
    std::int32_t Width() const;   // HIMETRIC
    std::int32_t Height() const;  // HIMETRIC
    std::int32_t ResourceId() const { return resourceId_; }

    // Draws the whole picture stretched over the rectangle (pixels).
    void Render(HDC target, int x, int y, int width, int height) const;

private:
    Picture() = default;

    unique_hbitmap bitmap_;
    unique_hicon icon_;
    std::int32_t width_ = 0, height_ = 0;
    std::int32_t resourceId_ = 0;
};

using PicturePtr = std::shared_ptr<Picture>;

}  // namespace xcyh2
