// A decoded picture as a GDI bitmap of its own size, drawn over a solid colour (its transparent
// pixels take that colour; over a colour-keyed window that makes them see-through).
#pragma once

#include <windows.h>

#include "picture/GdiPlus.h"

namespace xcyh2 {

// nullptr when there is no image. GDI+ must be started. The caller owns the bitmap.
HBITMAP ImageToBitmap(const ResourceImage& image, COLORREF background);

}  // namespace xcyh2
