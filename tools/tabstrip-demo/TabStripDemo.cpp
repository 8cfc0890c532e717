// tabstrip_demo.exe: a host window for trying the tab strip by hand and for screenshots.
// A strip in the main window's style (rounded tabs, left margin 10) over a container with five
// tabs of plain pages. Closing a tab removes it, except the last one, which stays.
#include <windows.h>

#include <memory>
#include <string>

#include "forms/Application.h"
#include "forms/Form.h"
#include "forms/PictureBox.h"
#include "tabstrip/uTab.h"

namespace {

using namespace xcyh2;

// One page: a window with a line of text, hosted in a tab.
class PageFrm : public forms::Form, public ITabForm {
public:
    explicit PageFrm(std::wstring text) : text_(std::move(text)) {}

    TabWnd hWnd() override { return Form::hWnd(); }
    void Initialize(IuTab*, const std::shared_ptr<CTabItem>& item) override { item_ = item; }
    void RefreshPage() override { ::InvalidateRect(handle(), nullptr, TRUE); }

protected:
    forms::WindowDesign Design() const override {
        forms::WindowDesign w;
        w.className = L"Xcyh2DemoPage";
        w.caption = text_;
        w.width = 400;
        w.height = 300;
        w.background = RGB(250, 250, 244);
        return w;
    }
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_PAINT) {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(handle(), &ps);
            RECT r;
            ::GetClientRect(handle(), &r);
            ::SetBkMode(dc, TRANSPARENT);
            ::SelectObject(dc, ::GetStockObject(DEFAULT_GUI_FONT));
            ::DrawTextW(dc, text_.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
            ::EndPaint(handle(), &ps);
            return 0;
        }
        return Form::HandleMessage(msg, wParam, lParam);
    }

private:
    std::wstring text_;
    std::weak_ptr<CTabItem> item_;
};

class DemoFrm : public forms::Form {
protected:
    forms::WindowDesign Design() const override {
        forms::WindowDesign w;
        w.className = L"Xcyh2TabStripDemo";
        w.caption = L"标签栏演示";
        w.x = 40;
        w.y = 40;
        w.width = 1000;
        w.height = 600;
        w.clientSize = true;
        w.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
        w.background = RGB(32, 84, 150);
        return w;
    }

    void Form_Load() override {
        RECT r;
        ::GetClientRect(handle(), &r);
        // The main window stores these three for its strip.
        forms::PropertyBag stored{{L"TabStyle", 1}, {L"TabLeftSize", 10}, {L"TabRightSize", 0}};
        strip_.Create(handle(), 0, 8, r.right, stored);
        container_.Create(handle(), 0, 40, r.right, r.bottom - 40);
        strip_.SethContainerWnd(container_.hWnd());
        strip_.OnItemColose = [this](std::int32_t, bool& cancel) { cancel = strip_.TabItems().Count() <= 1; };
        strip_.OnDrawBackground = [](HDC, std::int32_t, std::int32_t, bool&) {};
        strip_.LockReDraw(false);

        const wchar_t* captions[] = {L"星槎远航录2 - 主城", L"Fleet", L"A rather long page title that does not fit",
                                     L"活动", L"Forum & news"};
        for (const wchar_t* caption : captions) {
            auto page = std::make_shared<PageFrm>(std::wstring(L"Page: ") + caption);
            strip_.TabItems().Add(caption, page);
        }
        strip_.TabItems().Item(1)->SetHideButton(true);
        strip_.SetSelected(0);
    }

    void Form_Resize() override {
        RECT r;
        ::GetClientRect(handle(), &r);
        if (strip_.exists()) ::MoveWindow(strip_.hWnd(), 0, 8, r.right, 32, TRUE);
        container_.Move(0, 40, r.right, r.bottom - 40);
    }

    void Form_Unload() override { strip_.TabItems().Clear(); }

private:
    uTab strip_;
    forms::PictureBox container_;
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    DemoFrm demo;
    demo.Show();
    return forms::Application::Run();
}
