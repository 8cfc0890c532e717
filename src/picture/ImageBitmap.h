// A decoded picture as a GDI bitmap, drawn over a solid colour (its transparent pixels take that
// colour; over a colour-keyed window that makes them see-through).
#pragma once

#include <windows.h>

#include <cstdint>

#include "picture/GdiPlus.h"

namespace xcyh2 {

// A top-down 32-bit bitmap whose pixels the caller can reach (0xAARRGGBB, top row first): it
// keeps the alpha channel that a bitmap compatible with a 24-bit screen would drop. nullptr when
// it cannot be made (or a size is not positive).
HBITMAP CreatePixelBitmap(int width, int height, std::uint32_t*& pixels);

// The picture at its own size; nullptr when there is no image. GDI+ must be started. The caller
// owns the bitmap.
HBITMAP ImageToBitmap(const ResourceImage& image, COLORREF background);

// The picture at width x height for a colour-keyed window whose key is background: the
// picture's own pixels of that colour stay see-through, and the enlarged picture's soft edges
// are made hard again (each pixel the key or not), so no pale fringe of near-key pixels shows.
// At the picture's own size it is the bitmap above.
HBITMAP ImageToBitmap(const ResourceImage& image, COLORREF background, int width, int height);

}  // namespace xcyh2
