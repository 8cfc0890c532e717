// Pictures drawn at another size than their own: art made for one scale shown at another.
#pragma once

#include <windows.h>

namespace xcyh2::forms {

// Copies a source rectangle onto a target rectangle: as it is when the sizes agree, else
// resampled with the system's high-quality filter (art drawn for one scale shown at another).
void CopyScaled(HDC target, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                int sourceWidth, int sourceHeight);

}  // namespace xcyh2::forms
