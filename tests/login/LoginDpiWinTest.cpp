// The loading picture and the login windows on scaled screens, under Wine: at 96, 120, 144 and
// 192 DPI, each scale in a child process (support/DpiChild.h).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "base/Settings.h"
#include "base/WindowScale.h"
#include "forms/PictureBox.h"
#include "login/FakeBrowser.h"
#include "login/LoginBgFrm.h"
#include "login/LoginFrm.h"
#include "picture/ArtSets.h"
#include "picture/GdiPlus.h"
#include "picture/ImageBitmap.h"
#include "picture/LayeredPicture.h"
#include "resources/ResourceIds.h"
#include "startup/LoadFrm.h"
#include "support/DpiChild.h"
#include "support/WinTest.h"

namespace xcyh2 {
namespace {

constexpr COLORREF kKey = RGB(254, 254, 254);

using test::At;
using test::ExpectScaled;
using test::RectIn;

// A bitmap's pixels, top row first, as 0xAARRGGBB.
struct Pixels {
    int width = 0, height = 0;
    std::vector<std::uint32_t> data;
    std::uint32_t at(int x, int y) const { return data[static_cast<std::size_t>(y) * width + x]; }
};

Pixels Read(HBITMAP bitmap) {
    Pixels p;
    BITMAP bm{};
    if (!bitmap || !::GetObjectW(bitmap, sizeof bm, &bm)) return p;
    p.width = bm.bmWidth;
    p.height = bm.bmHeight;
    p.data.resize(static_cast<std::size_t>(p.width) * p.height);
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = p.width;
    bmi.bmiHeader.biHeight = -p.height;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    HDC screen = ::GetDC(nullptr);
    ::GetDIBits(screen, bitmap, 0, p.height, p.data.data(), &bmi, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    return p;
}

Pixels Read(const LayeredPicture& picture) {
    return Read(static_cast<HBITMAP>(::GetCurrentObject(picture.memoryDc(), OBJ_BITMAP)));
}

int Channel(std::uint32_t pixel, int shift) { return static_cast<int>((pixel >> shift) & 0xFF); }

// The base pixels a pixel of an enlarged picture comes from: the two by two around its centre's
// place in the base (what a linear filter reads), and the four by four (what a cubic one reads).
struct Sources {
    std::uint32_t nearest[4];
    std::uint32_t around[16];
};

// Checks every pixel of a picture enlarged from `base` against its sources; how many failed
// (the first is shown).
template <typename Check>
int CountStrays(const Pixels& base, const Pixels& scaled, Check check, const char* what) {
    int strays = 0;
    auto clampX = [&](int x) { return std::clamp(x, 0, base.width - 1); };
    auto clampY = [&](int y) { return std::clamp(y, 0, base.height - 1); };
    for (int y = 0; y < scaled.height; ++y) {
        for (int x = 0; x < scaled.width; ++x) {
            double u = (x + 0.5) * base.width / scaled.width - 0.5, v = (y + 0.5) * base.height / scaled.height - 0.5;
            int x0 = clampX(static_cast<int>(std::floor(u))), y0 = clampY(static_cast<int>(std::floor(v)));
            int x1 = clampX(x0 + (u > x0 ? 1 : 0)), y1 = clampY(y0 + (v > y0 ? 1 : 0));
            Sources from{{base.at(x0, y0), base.at(x1, y0), base.at(x0, y1), base.at(x1, y1)}, {}};
            for (int i = 0; i < 16; ++i) from.around[i] = base.at(clampX(x0 - 1 + i % 4), clampY(y0 - 1 + i / 4));
            if (!check(scaled.at(x, y), from) && strays++ == 0)
                ADD_FAILURE() << what << ": first stray pixel at " << x << "," << y << " = " << std::hex << scaled.at(x, y)
                              << " from " << from.nearest[0] << " " << from.nearest[1] << " " << from.nearest[2] << " "
                              << from.nearest[3];
        }
    }
    return strays;
}

// A value within the range of the values it comes from, give or take what a filter may add.
template <std::size_t N>
bool Within(int value, const std::uint32_t (&from)[N], int count, int shift, int slack) {
    int low = 255, high = 0;
    for (int i = 0; i < count; ++i) low = std::min(low, Channel(from[i], shift)), high = std::max(high, Channel(from[i], shift));
    return value >= low - slack && value <= high + slack;
}

// The start-up window without its start-up checks (connection, update): only its window.
class LoadingPictureOnly : public LoadFrm {
protected:
    void Form_Initialize() override {}
};

TEST(AtThisDpi, DISABLED_LoadingPictureTakesItsScaledSizeCentred) {
    ASSERT_GT(test::ChildDpi(), 0);
    ASSERT_EQ(WindowScale(nullptr).Dpi(), test::ChildDpi()) << "the prefix's DPI did not reach the program";
    LoadingPictureOnly frm;
    frm.Load();
    ASSERT_TRUE(frm.IsLoaded());
    RECT r{};
    ::GetWindowRect(frm.handle(), &r);
    EXPECT_NEAR(r.right - r.left, At(356), 1.0);
    EXPECT_NEAR(r.bottom - r.top, At(122), 1.0);
    EXPECT_NEAR((r.left + r.right) / 2.0, ::GetSystemMetrics(SM_CXSCREEN) / 2.0, 1.0);
    EXPECT_NEAR((r.top + r.bottom) / 2.0, ::GetSystemMetrics(SM_CYSCREEN) / 2.0, 1.0);
    frm.Unload();
}

TEST(AtThisDpi, DISABLED_LoginWindowsTakeTheirScaleAndKeepTheirTranslucency) {
    ASSERT_GT(test::ChildDpi(), 0);
    LoginBgFrm bg;
    LoginFrm page(bg);
    std::shared_ptr<test::FakeBrowser> fake;
    page.SetBrowserFactory([&fake](HWND parent, int x, int y, int w, int h) {
        fake = std::make_shared<test::FakeBrowser>();
        fake->placement = {parent, x, y, w, h};
        return fake;
    });
    page.Load();
    ASSERT_TRUE(fake);
    ASSERT_TRUE(bg.IsLoaded());
    HWND login = page.handle();

    RECT r{};
    ::GetWindowRect(bg.handle(), &r);
    EXPECT_NEAR(r.right - r.left, At(1237), 1.0);
    EXPECT_NEAR(r.bottom - r.top, At(696), 1.0);
    ::GetClientRect(login, &r);
    EXPECT_NEAR(r.right, At(1237), 1.0);
    EXPECT_NEAR(r.bottom, At(696), 1.0);
    ExpectScaled(RectIn(fake->placement.parent, login), 415, 179, 732, 425, "browser box");
    RECT web{fake->placement.x, fake->placement.y, fake->placement.x + fake->placement.width,
             fake->placement.y + fake->placement.height};
    ExpectScaled(web, -1, -1, 751, 444, "browser in its box");

    // The two pictures: at their scaled places, and drawn at that size.
    forms::PictureBox* mini = nullptr;
    forms::PictureBox* close = nullptr;
    for (HWND child = ::GetWindow(login, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT c = RectIn(child, login);
        auto* box = dynamic_cast<forms::PictureBox*>(forms::Window::FromHandle(child));
        if (std::abs(c.left - At(1120)) <= 1) mini = box;
        if (std::abs(c.left - At(1152)) <= 1) close = box;
    }
    ASSERT_TRUE(mini && close);
    ExpectScaled(RectIn(mini->hWnd(), login), 1120, 130, 28, 28, "MiniBtn");
    ExpectScaled(RectIn(close->hWnd(), login), 1152, 125, 34, 34, "CloseBtn");

    // Translucency: every pixel of the enlarged background is as transparent as the pixels it
    // comes from at 96 DPI, and stays premultiplied, as the system composes it.
    LayeredPicture base;
    base.Compose(settings::kResLoginBackground, settings::kResTypePng);
    Pixels base96 = Read(base), scaled = Read(bg.Picture());
    ASSERT_EQ(scaled.width, bg.PictureSize().cx);
    EXPECT_EQ(CountStrays(base96, scaled,
                          [](std::uint32_t p, const Sources& from) {
                              int alpha = Channel(p, 24);
                              return Within(alpha, from.nearest, 4, 24, 4) && Channel(p, 16) <= alpha + 1 &&
                                     Channel(p, 8) <= alpha + 1 && Channel(p, 0) <= alpha + 1;
                          },
                          "background"),
              0);

    // The keyed pictures, from the art set of the window's scale: a pixel is see-through
    // (exactly the key) where its art pixels all are, drawn where they all are not, and never
    // paler than the art it comes from: no fringe of the key's white blended into the edge.
    GdiplusSession gdiplus;
    gdiplus.Startup();
    for (auto [box, resource] : {std::pair{mini, IDR_GIF_MINI}, std::pair{close, IDR_GIF_CLOSE}}) {
        ResourceImage image = LoadGifArt(resource, DpiScale(test::ChildDpi()).ArtSet());
        HBITMAP own = ImageToBitmap(image, kKey);
        Pixels source = Read(own), art = Read(box->Picture());
        ::DeleteObject(own);
        RECT client{};
        ::GetClientRect(box->hWnd(), &client);
        ASSERT_EQ(art.width, client.right);  // the picture fills its box
        ASSERT_EQ(art.height, client.bottom);
        auto isKey = [](std::uint32_t p) { return (p & 0xFFFFFF) == 0xFEFEFE; };
        EXPECT_EQ(CountStrays(source, art,
                              [&isKey](std::uint32_t p, const Sources& from) {
                                  int keys = static_cast<int>(
                                      std::count_if(std::begin(from.nearest), std::end(from.nearest), isKey));
                                  if (keys == 4) return isKey(p);
                                  if (isKey(p)) return keys > 0;
                                  std::uint32_t art[16];
                                  int n = 0;
                                  for (std::uint32_t f : from.around)
                                      if (!isKey(f)) art[n++] = f;
                                  return Within(Channel(p, 16), art, n, 16, 12) && Within(Channel(p, 8), art, n, 8, 12) &&
                                         Within(Channel(p, 0), art, n, 0, 12);
                              },
                              "button picture"),
                  0);
    }

    // Shown, the real pointer clicks the middle of the scaled minimise picture: the system's
    // hit-test finds it there, and its click minimises the login.
    fake->documentUrl = settings::kLoginPageUrl;
    fake->FireDocumentComplete(true, settings::kLoginPageUrl);
    ASSERT_TRUE(::IsWindowVisible(login));
    // The login may be larger than the screen: bring the picture to the screen's middle.
    RECT box = RectIn(mini->hWnd(), login);
    POINT middle{::GetSystemMetrics(SM_CXSCREEN) / 2, ::GetSystemMetrics(SM_CYSCREEN) / 2};
    ::SetWindowPos(bg.handle(), nullptr, middle.x - (box.left + box.right) / 2, middle.y - (box.top + box.bottom) / 2,
                   0, 0, SWP_NOSIZE | SWP_NOZORDER);
    test::PumpMessages(300);
    ::GetWindowRect(mini->hWnd(), &box);
    EXPECT_EQ(::WindowFromPoint({(box.left + box.right) / 2, (box.top + box.bottom) / 2}), mini->hWnd());
    test::ClickMiddle(mini->hWnd());
    for (int i = 0; i < 100 && !::IsIconic(bg.handle()); ++i) test::PumpMessages(20);
    EXPECT_TRUE(::IsIconic(bg.handle()));
    bg.Unload();
    EXPECT_FALSE(page.IsLoaded());
}

TEST(LoginOnScaledScreens, TakesItsSizesHitBoxesAndTranslucencyAtEachDpi) {
    test::RunChildrenAtEveryDpi();
}

}  // namespace
}  // namespace xcyh2
