#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

#include "forms/Form.h"
#include "picture/GdiPlus.h"
#include "picture/LayeredPicture.h"
#include "login/LoginBgFrm.h"
#include "login/LoginFrm.h"
#include "support/WinTest.h"

namespace xcyh2 {
namespace {

class PictureForm : public forms::Form {
public:
    explicit PictureForm(int resource) : resource_(resource) {}
    LayeredPicture picture;

protected:
    forms::WindowDesign Design() const override {
        forms::WindowDesign design;
        design.className = L"TestPictureForm";
        design.style = WS_POPUP;
        design.x = design.y = 10;
        design.width = design.height = 50;
        return design;
    }
    void Form_Load() override { picture.Apply(handle(), resource_, L"PNG"); }
    void Form_Unload() override { picture.Release(); }

private:
    int resource_;
};

// Reads one pixel (B, G, R, A) of the bitmap selected into a memory DC.
RGBQUAD PixelOf(HDC dc, int x, int y, int height) {
    HBITMAP bitmap = static_cast<HBITMAP>(::GetCurrentObject(dc, OBJ_BITMAP));
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = 1;
    bmi.bmiHeader.biHeight = -1;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    BITMAPINFO full = bmi;
    full.bmiHeader.biWidth = 0;
    (void)full;
    // GetDIBits reads whole scan lines: read the line, then pick the pixel.
    BITMAP info{};
    ::GetObjectW(bitmap, sizeof(info), &info);
    bmi.bmiHeader.biWidth = info.bmWidth;
    bmi.bmiHeader.biHeight = -height;
    std::unique_ptr<RGBQUAD[]> line(new RGBQUAD[info.bmWidth * height]);
    ::GetDIBits(dc, bitmap, 0, height, line.get(), &bmi, DIB_RGB_COLORS);
    return line[y * info.bmWidth + x];
}

TEST(LayeredPicture, TakesThePicturesSizeAndKeepsItsAlpha) {
    PictureForm form(900);
    form.Load();
    form.Show(SW_SHOWNOACTIVATE);
    test::PumpMessages();
    RECT r;
    ::GetWindowRect(form.handle(), &r);
    EXPECT_EQ(r.right - r.left, 8);
    EXPECT_EQ(r.bottom - r.top, 4);
    EXPECT_TRUE(::GetWindowLongW(form.handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
    ASSERT_EQ(form.picture.size().cx, 8);

    RGBQUAD half = PixelOf(form.picture.memoryDc(), 1, 1, 4);
    EXPECT_NEAR(half.rgbReserved, 128, 1);
    EXPECT_NEAR(half.rgbRed, 128, 2);  // premultiplied, as UpdateLayeredWindow wants it
    EXPECT_EQ(half.rgbBlue, 0);
    RGBQUAD clear = PixelOf(form.picture.memoryDc(), 0, 0, 4);
    EXPECT_EQ(clear.rgbReserved, 0);
    RGBQUAD opaque = PixelOf(form.picture.memoryDc(), 3, 2, 4);
    EXPECT_EQ(opaque.rgbReserved, 255);
    EXPECT_EQ(opaque.rgbBlue, 255);
    form.Unload();
}

TEST(LayeredPicture, AMissingOrUndecodablePictureLeavesTheWindowEmpty) {
    for (int resource : {901, 4321}) {
        PictureForm form(resource);
        form.Load();
        form.Show(SW_SHOWNOACTIVATE);
        test::PumpMessages();
        EXPECT_TRUE(form.IsLoaded());
        EXPECT_EQ(form.picture.size().cx, 0);
        form.Unload();
        EXPECT_FALSE(form.IsLoaded());
    }
}

TEST(LoginBackground, IsTheFullPictureWithoutCaptionOrFrame) {
    LoginBgFrm bg;
    bg.Load();
    HWND hwnd = bg.handle();
    RECT r;
    ::GetWindowRect(hwnd, &r);
    EXPECT_EQ(r.right - r.left, 1237);
    EXPECT_EQ(r.bottom - r.top, 696);
    LONG style = ::GetWindowLongW(hwnd, GWL_STYLE);
    EXPECT_FALSE(style & WS_CAPTION);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_TRUE(::GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED);
    wchar_t caption[64] = {};
    ::GetWindowTextW(hwnd, caption, 64);
    EXPECT_STREQ(caption, L"星槎远航录2客户端");
    bg.Unload();
}

TEST(LoginBackground, MovesTheLoginWindowAlongAndUnloadsIt) {
    LoginBgFrm bg;
    LoginFrm page(bg);
    bg.Load();
    page.Load();
    ::SetWindowPos(bg.handle(), nullptr, 123, 77, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    test::PumpMessages();
    RECT pageRect;
    ::GetWindowRect(page.handle(), &pageRect);
    EXPECT_EQ(pageRect.left, 123);
    EXPECT_EQ(pageRect.top, 77);
    EXPECT_EQ(pageRect.right - pageRect.left, 1237);  // only moved, not resized

    HWND bgWindow = bg.handle();
    EXPECT_TRUE(bg.Unload());
    EXPECT_FALSE(bg.IsLoaded());
    EXPECT_FALSE(page.IsLoaded());
    EXPECT_FALSE(::IsWindow(bgWindow));
}

TEST(LoginBackground, CanBeLoadedAgainAfterUnloading) {
    LoginBgFrm bg;
    LoginFrm page(bg);
    bg.Load();
    EXPECT_EQ(bg.PictureSize().cx, 1237);
    EXPECT_TRUE(bg.Unload());
    bg.Load();
    EXPECT_EQ(bg.PictureSize().cy, 696);
    // The hook was put back at the first unload and is in place again: moves still follow.
    page.Load();
    ::SetWindowPos(bg.handle(), nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT r;
    ::GetWindowRect(page.handle(), &r);
    EXPECT_EQ(r.left, 40);
    bg.Unload();
}

}  // namespace
}  // namespace xcyh2
