#include "forms/ScaledCopy.h"

namespace xcyh2::forms {

void CopyScaled(HDC target, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                int sourceWidth, int sourceHeight) {
    if (width == sourceWidth && height == sourceHeight) {
        ::BitBlt(target, x, y, width, height, source, sourceX, sourceY, SRCCOPY);
        return;
    }
    // Enlarged art (a denser screen) is filtered; a reduction is copied pixel by pixel, as
    // pictures always were.
    const bool enlarged = width > sourceWidth || height > sourceHeight;
    int oldMode = ::SetStretchBltMode(target, enlarged ? HALFTONE : COLORONCOLOR);
    POINT oldOrigin{};
    if (enlarged) ::SetBrushOrgEx(target, 0, 0, &oldOrigin);  // as HALFTONE asks
    ::StretchBlt(target, x, y, width, height, source, sourceX, sourceY, sourceWidth, sourceHeight, SRCCOPY);
    if (enlarged) ::SetBrushOrgEx(target, oldOrigin.x, oldOrigin.y, nullptr);
    ::SetStretchBltMode(target, oldMode);
}

}  // namespace xcyh2::forms
