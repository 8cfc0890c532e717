// What the shell's small skinned windows (the close question, the updater) share: the drawn
// title bar in light grey without the logo, and the close button (bitmap 103, 43 x 18) one pixel
// from the top with its left edge 730 twips from the right edge. Sizes are at 96 DPI, drawn at
// the window's scale.
#pragma once

#include <windows.h>

#include "base/DpiScale.h"
#include "controls/BForm.h"
#include "controls/iButton.h"

namespace xcyh2 {

// Makes the bar across the top of parent, width pixels wide.
bool CreateDialogTitleBar(BForm& bar, HWND parent, int width, UINT_PTR id, const DpiScale& scale);
// Makes the close button for a window width pixels wide, with its picture.
bool CreateDialogCloseButton(iButton& button, HWND parent, int width, UINT_PTR id, const DpiScale& scale);
// Puts the close button in its place for a window now width pixels wide.
void PlaceDialogCloseButton(iButton& button, int width, const DpiScale& scale);

}  // namespace xcyh2
