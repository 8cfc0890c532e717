// A picture as the controls take it: a bitmap or an icon with its size in HIMETRIC (as the
// classic picture object reports it), and the bitmap resource it was loaded from, so a control
// can keep a reference to it in its property bag.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "base/DpiScale.h"
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
    // The skin bitmap id as drawn for the art set of a window at that scale: the set's own
    // picture where the program has one, else the 100 % bitmap. Either way PixelWidth and
    // PixelHeight are the 100 % bitmap's, so layouts cut it as at 96 DPI; Source maps a cut into
    // the bitmap actually held.
    static std::shared_ptr<Picture> LoadArt(std::int32_t id, const DpiScale& scale);

    HBITMAP Bitmap() const { return bitmap_.get(); }
    HICON Icon() const { return icon_.get(); }
    std::int32_t PixelWidth() const { return width_; }
    std::int32_t PixelHeight() const { return height_; }
    std::int32_t Width() const;   // HIMETRIC
    std::int32_t Height() const;  // HIMETRIC
    std::int32_t ResourceId() const { return resourceId_; }
    // The art set the bitmap was drawn for (100, 150 or 200) and its own size in pixels.
    int ArtSet() const { return artSet_; }
    std::int32_t BitmapWidth() const { return bitmapWidth_; }
    std::int32_t BitmapHeight() const { return bitmapHeight_; }
    // A rectangle of the picture in 96-DPI pixels, in the pixels of the bitmap held.
    EdgeRect Source(const EdgeRect& pixels96) const;

    // Draws the whole picture stretched over the rectangle (pixels).
    void Render(HDC target, int x, int y, int width, int height) const;

private:
    Picture() = default;

    unique_hbitmap bitmap_;
    unique_hicon icon_;
    std::int32_t width_ = 0, height_ = 0;
    std::int32_t bitmapWidth_ = 0, bitmapHeight_ = 0;
    std::int32_t resourceId_ = 0;
    int artSet_ = 100;
};

using PicturePtr = std::shared_ptr<Picture>;

}  // namespace xcyh2
