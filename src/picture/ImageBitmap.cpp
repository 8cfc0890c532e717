#include "picture/ImageBitmap.h"

#include "base/win_handles.h"

namespace xcyh2 {

HBITMAP ImageToBitmap(const ResourceImage& image, COLORREF background) {
    if (!image) return nullptr;
    int width = static_cast<int>(image.Width());
    int height = static_cast<int>(image.Height());
    WindowDc screen(nullptr);
    unique_hbitmap bitmap(::CreateCompatibleBitmap(screen.get(), width, height));
    unique_hdc dc(::CreateCompatibleDC(screen.get()));
    if (!bitmap || !dc) return nullptr;
    {
        SelectedObject selected(dc.get(), bitmap.get());
        unique_hbrush brush(::CreateSolidBrush(background));
        RECT r{0, 0, width, height};
        ::FillRect(dc.get(), &r, brush.get());
        image.Draw(dc.get(), width, height);
    }
    return bitmap.release();
}

}  // namespace xcyh2
