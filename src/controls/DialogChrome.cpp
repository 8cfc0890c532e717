#include "controls/DialogChrome.h"

#include "base/twips.h"
#include "controls/Picture.h"
#include "controls/PropertyText.h"
#include "resources/ResourceIds.h"

namespace xcyh2 {
namespace {
constexpr std::uint32_t kTitleBarColour = 0xDEDEDE;
constexpr int kCloseBitmap = IDB_BTN_CLOSE;
constexpr std::int32_t kCloseRightTwips = 730;
constexpr int kCloseTop = 1, kCloseWidth = 43, kCloseHeight = 18;

int CloseLeft(int width) { return TwipsToPixels(PixelsToTwips(width) - kCloseRightTwips); }
}  // namespace

bool CreateDialogTitleBar(BForm& bar, HWND parent, int width, UINT_PTR id) {
    return bar.Create(parent, 0, 0, width, {{L"BackColor", ColourToText(kTitleBarColour)}, {L"HasLogo", false}}, id);
}

bool CreateDialogCloseButton(iButton& button, HWND parent, int width, UINT_PTR id) {
    bool created =
        button.Create(parent, CloseLeft(width), kCloseTop, kCloseWidth, kCloseHeight, {{L"AutoSize", false}}, id);
    button.SetBackPicture(Picture::LoadBitmapResource(kCloseBitmap));
    button.SetAccessibleName(L"关闭");
    return created;
}

void PlaceDialogCloseButton(iButton& button, int width) {
    button.Move(CloseLeft(width), kCloseTop, kCloseWidth, kCloseHeight);
}

}  // namespace xcyh2
