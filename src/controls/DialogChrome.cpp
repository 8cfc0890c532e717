#include "controls/DialogChrome.h"

#include "controls/Picture.h"
#include "controls/PropertyText.h"
#include "resources/ResourceIds.h"

namespace xcyh2 {
namespace {
constexpr std::uint32_t kTitleBarColour = 0xDEDEDE;
constexpr int kCloseBitmap = IDB_BTN_CLOSE;
constexpr std::int32_t kCloseRightTwips = 730;
constexpr int kCloseTop = 1, kCloseWidth = 43, kCloseHeight = 18;

EdgeRect CloseBox(int width, const DpiScale& scale) {
    int left = scale.TwipsToPixels(scale.PixelsToTwips(width) - kCloseRightTwips);
    return {left, scale.Pixels(kCloseTop), left + scale.Pixels(kCloseWidth), scale.Pixels(kCloseTop + kCloseHeight)};
}
}  // namespace

bool CreateDialogTitleBar(BForm& bar, HWND parent, int width, UINT_PTR id, const DpiScale& scale) {
    bar.SetScale(scale);
    return bar.Create(parent, 0, 0, width, {{L"BackColor", ColourToText(kTitleBarColour)}, {L"HasLogo", false}}, id);
}

bool CreateDialogCloseButton(iButton& button, HWND parent, int width, UINT_PTR id, const DpiScale& scale) {
    EdgeRect r = CloseBox(width, scale);
    bool created = button.Create(parent, r.left, r.top, r.Width(), r.Height(), {{L"AutoSize", false}}, id);
    button.SetDpi(scale.Dpi());
    button.SetBackPicture(Picture::LoadBitmapResource(kCloseBitmap));
    button.SetAccessibleName(L"关闭");
    return created;
}

void PlaceDialogCloseButton(iButton& button, int width, const DpiScale& scale) {
    EdgeRect r = CloseBox(width, scale);
    button.SetDpi(scale.Dpi());
    button.Move(r.left, r.top, r.Width(), r.Height());
}

}  // namespace xcyh2
