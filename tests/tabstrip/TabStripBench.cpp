// Benchmark (not a test): one DrawTabs with 20 tabs on a 1920-pixel strip and one hover change,
// each beside the direct drawing (every tab stretched from the skin through a surface of its
// own, as the strip drew before it kept its pieces) in the same run, and beside two fixed costs:
// DrawTabs on an empty strip and one paint message. The same strip at 144 DPI beside it, and
// the cost of a change of scale (a new height, surfaces and pieces, and a whole drawing).
//   build-dir/bin/tabstrip_bench.exe [repetitions]   (under Wine: tools/wine-run PREFIX -- ...)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "forms/Form.h"
#include "forms/PictureBox.h"
#include "support/HostForm.h"
#include "tabstrip/uTab.h"

namespace {

using namespace xcyh2;

class Page : public forms::Form, public ITabForm {
public:
    TabWnd hWnd() override { return Form::hWnd(); }
    void Initialize(IuTab*, const std::shared_ptr<CTabItem>&) override {}
    void RefreshPage() override {}

protected:
    forms::WindowDesign Design() const override {
        forms::WindowDesign w;
        w.className = L"BenchPage";
        return w;
    }
};

// The median time of work; setup, when given, runs untimed before each call.
double MedianMicroseconds(int repetitions, const std::function<void()>& work,
                          const std::function<void()>& setup = {}) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    std::vector<double> times;
    for (int i = 0; i < repetitions; ++i) {
        if (setup) setup();
        LARGE_INTEGER a, b;
        ::QueryPerformanceCounter(&a);
        work();
        ::QueryPerformanceCounter(&b);
        times.push_back(1e6 * static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(frequency.QuadPart));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

struct Strip {
    forms::PictureBox container;
    uTab strip;
    std::vector<std::shared_ptr<Page>> pages;
    Strip(HWND host, int y, int tabs, int dpi = DpiScale::kBaseDpi) {
        container.Create(host, 0, 200, 1920, 200);
        strip.SetScale(DpiScale(dpi));
        strip.Create(host, 0, y, 1920, {{L"TabStyle", 1}, {L"TabLeftSize", 10}, {L"TabRightSize", 0}});
        strip.SethContainerWnd(container.hWnd());
        strip.LockReDraw(false);
        for (int i = 0; i < tabs; ++i) {
            pages.push_back(std::make_shared<Page>());
            strip.TabItems().Add(L"星槎远航录2 页面 " + std::to_wstring(i + 1), pages.back());
        }
        strip.SetSelected(tabs > 0 ? 3 : -1);
    }
};

}  // namespace

int main(int argc, char** argv) {
    int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 500;
    test::HostForm host{test::HostForm::Popup(L"BenchHost", 0, 0, 1920, 400)};
    host.Show();
    Strip full(host.handle(), 0, 20);
    Strip empty(host.handle(), 40, 0);
    Strip scaled(host.handle(), 80, 20, 144);
    for (int i = 0; i < 20; ++i) full.strip.DrawTabs(), empty.strip.DrawTabs(), scaled.strip.DrawTabs();  // warm up

    double tabs20 = MedianMicroseconds(repetitions, [&] { full.strip.DrawTabs(); });
    double direct20 = MedianMicroseconds(repetitions, [&] { full.strip.DrawTabsDirect(); });
    // A hover change between the bodies of tabs 5 and 6: the repaint of what changes, beside
    // the direct drawing that redrew every tab on such a change (the change itself untimed).
    bool onFive = false;
    auto flip = [&] {
        onFive = !onFive;
        full.strip.ShowHover(onFive ? 5 : 6, 0);
    };
    for (int i = 0; i < 20; ++i) flip();
    double hover = MedianMicroseconds(repetitions, flip);
    int hoverTabs = full.strip.TabsDrawnLast();
    double hoverDirect = MedianMicroseconds(repetitions, [&] { full.strip.DrawTabsDirect(); }, flip);
    // The mouse-move message that brings such a change, and one that changes nothing (hit test,
    // pointer tracking and the message's way through the interception: a fixed cost).
    full.strip.DrawTabs();
    const int leftSize = full.strip.TabLeftSize();
    const int x5 = leftSize + full.strip.TabItems().Item(5)->Left() + 30;
    const int x6 = leftSize + full.strip.TabItems().Item(6)->Left() + 30;
    double moveChange = MedianMicroseconds(repetitions, [&] {
        onFive = !onFive;
        ::SendMessageW(full.strip.hWnd(), WM_MOUSEMOVE, 0, MAKELPARAM(onFive ? x5 : x6, 10));
    });
    double still = MedianMicroseconds(repetitions, [&] {
        ::SendMessageW(full.strip.hWnd(), WM_MOUSEMOVE, 0, MAKELPARAM(onFive ? x5 : x6, 10));
    });
    full.strip.DrawTabs();
    double tabs0 = MedianMicroseconds(repetitions, [&] { empty.strip.DrawTabs(); });
    double paint = MedianMicroseconds(repetitions, [&] {
        ::InvalidateRect(full.strip.hWnd(), nullptr, FALSE);
        ::UpdateWindow(full.strip.hWnd());
    });
    // At 144 DPI: the drawing, a hover change and the paint message; then a change of scale.
    double tabs20At144 = MedianMicroseconds(repetitions, [&] { scaled.strip.DrawTabs(); });
    bool onFiveAt144 = false;
    auto flipAt144 = [&] {
        onFiveAt144 = !onFiveAt144;
        scaled.strip.ShowHover(onFiveAt144 ? 5 : 6, 0);
    };
    for (int i = 0; i < 20; ++i) flipAt144();
    double hoverAt144 = MedianMicroseconds(repetitions, flipAt144);
    int hoverTabsAt144 = scaled.strip.TabsDrawnLast();
    scaled.strip.DrawTabs();
    double paintAt144 = MedianMicroseconds(repetitions, [&] {
        ::InvalidateRect(scaled.strip.hWnd(), nullptr, FALSE);
        ::UpdateWindow(scaled.strip.hWnd());
    });
    bool at144 = true;
    double rescale = MedianMicroseconds(std::max(1, repetitions / 10), [&] {
        at144 = !at144;
        scaled.strip.SetScale(DpiScale(at144 ? 144 : 96));
    });
    // The pieces of one tab, on the strip's own surfaces.
    HDC area = full.strip.CompositeDC();
    HBITMAP skinBitmap = static_cast<HBITMAP>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(107), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    mdlTabAPI::MemDC skin(mdlTabAPI::CreateBitmapDC(skinBitmap));
    const int w = full.strip.SharedTabWidth();
    double surface = MedianMicroseconds(repetitions, [&] { mdlTabAPI::MemDC t(mdlTabAPI::CreateMemDC(w, 26)); });
    double nine = MedianMicroseconds(repetitions, [&] {
        mdlTabAPI::NineGridBlt(area, 100, 0, w, 26, skin.get(), 1, 0, 124, 26, 14, 0, 14, 0, RGB(255, 0, 255));
    });
    double glyph = MedianMicroseconds(repetitions, [&] {
        mdlTabAPI::TransBlt(area, 100, 7, 12, 12, skin.get(), 385, 0, RGB(255, 0, 255));
    });
    double text = MedianMicroseconds(repetitions, [&] {
        mdlTabAPI::DrawTextRect(area, L"星槎远航录2 页面 1", -1, 100, 0, w - 28, 26,
                                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    });
    std::printf("tab width %d, %d repetitions, median per call\n", full.strip.SharedTabWidth(), repetitions);
    std::printf("DrawTabs, 20 tabs, 1920 px:  %8.1f us   direct drawing: %8.1f us\n", tabs20, direct20);
    std::printf("hover change (%d tabs drawn):  %7.1f us   direct drawing: %8.1f us\n", hoverTabs, hover,
                hoverDirect);
    std::printf("mouse move, hover change:    %8.1f us\n", moveChange);
    std::printf("mouse move, no change:       %8.1f us\n", still);
    std::printf("DrawTabs, no tabs (fixed):   %8.1f us\n", tabs0);
    std::printf("paint message (one copy):    %8.1f us\n", paint);
    std::printf("at 144 DPI, 1920 px, tab width %d at 96 DPI:\n", scaled.strip.SharedTabWidth());
    std::printf("DrawTabs, 20 tabs:           %8.1f us   (96 DPI: %.1f us)\n", tabs20At144, tabs20);
    std::printf("hover change (%d tabs drawn):  %7.1f us   (96 DPI: %.1f us)\n", hoverTabsAt144, hoverAt144, hover);
    std::printf("paint message (one copy):    %8.1f us   (96 DPI: %.1f us)\n", paintAt144, paint);
    std::printf("change of scale 96 <-> 144:  %8.1f us   (height, surfaces, pieces, fonts, drawing)\n", rescale);
    std::printf("direct drawing per tab: %.1f us, of which\n", (direct20 - tabs0) / 20.0);
    std::printf("  temporary surface:         %8.1f us\n", surface);
    std::printf("  NineGridBlt (with surface): %7.1f us\n", nine);
    std::printf("  close glyph (TransBlt):    %8.1f us\n", glyph);
    std::printf("  caption (DrawText):        %8.1f us\n", text);
    host.Unload();
    return 0;
}
