// skin_demo.exe: the skinned controls together, to try by hand and for screenshots. A borderless
// window with the drawn title bar (logo, caption, the two text links and the four caption
// buttons), its printed frame, and the close question: the close button, or starting with
// "/ask", shows it; "是" ends the demo, "否" keeps the window. The title bar drags the window;
// the maximise button is a toggle whose glyph follows its Value.
#include <windows.h>

#include <string>

#include "base/Settings.h"
#include "controls/BForm.h"
#include "controls/iButton.h"
#include "desktop/MsgFrm.h"
#include "forms/Application.h"
#include "forms/Form.h"
#include "forms/PictureBox.h"
#include "resources/ResourceIds.h"

namespace {

using namespace xcyh2;

class DemoFrm : public forms::Form {
public:
    bool m_bExit = false;
    bool askAtStart = false;

protected:
    forms::WindowDesign Design() const override {
        forms::WindowDesign w;
        w.className = L"Xcyh2SkinDemo";
        w.caption = settings::kWindowCaption;
        w.style = WS_POPUP | WS_CLIPCHILDREN;
        w.width = 760;
        w.height = 420;
        w.CentreOnScreen();
        w.background = RGB(255, 255, 255);
        return w;
    }

    void Form_Load() override {
        surface.SetBackColor(RGB(255, 255, 255));
        RECT r;
        ::GetClientRect(handle(), &r);
        WebBForm.Create(handle(), 0, 0, r.right, {{L"HasLogo", true}});
        WebBForm.SetCaption(settings::kGameTitle);
        WebBForm.SetfrmHwnd(handle());
        logo.Create(handle(), 7, 2, 29, 29);
        logo.SetPicture(static_cast<HBITMAP>(
            ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_LOGO), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        ::SetWindowPos(logo.hWnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);

        FontDesc link;
        link.underline = true;
        forms::PropertyBag linkBag{{L"AutoSize", false}, {L"cBackStyle", 0}, {L"cFont", FontToText(link)},
                                   {L"cForeColor", static_cast<std::int32_t>(RGB(255, 255, 255))}};
        OtherUserBtn.Create(handle(), 0, 0, 99, 22, linkBag);
        OtherUserBtn.SetCaption(L"登录其他帐号");
        GameSpaceBtn.Create(handle(), 0, 0, 81, 22, linkBag);
        GameSpaceBtn.SetCaption(L"游戏官网");

        forms::PropertyBag plain{{L"AutoSize", false}};
        web_tool.Create(handle(), 0, 1, 24, 18, plain);
        web_tool.SetBackPicture(Picture::LoadBitmapResource(IDB_BTN_TOOL));
        web_min.Create(handle(), 0, 1, 24, 18, plain);
        web_min.SetBackPicture(Picture::LoadBitmapResource(IDB_BTN_MIN));
        web_minmax.Create(handle(), 0, 1, 25, 18, {{L"AutoSize", false}, {L"Style", 1}});
        web_minmax.SetBackPicture(Picture::LoadBitmapResource(IDB_BTN_MAX));
        web_close.Create(handle(), 0, 1, 43, 18, plain);
        web_close.SetBackPicture(Picture::LoadBitmapResource(IDB_BTN_CLOSE));

        web_min.Click = [this] { Minimize(); };
        web_close.Click = [this] { ::PostMessageW(handle(), WM_CLOSE, 0, 0); };
        Form_Resize();
        if (askAtStart) ::PostMessageW(handle(), WM_CLOSE, 0, 0);
    }

    void Form_Resize() override {
        RECT r;
        ::GetClientRect(handle(), &r);
        int w = r.right;
        HRGN region = ::CreateRoundRectRgn(0, 0, w + 1, r.bottom + 1, 6, 6);
        if (region && !::SetWindowRgn(handle(), region, TRUE)) ::DeleteObject(region);
        surface.Resize(w, r.bottom);
        WebBForm.Move(0, 0, w, WebBForm.BarHeight());
        WebBForm.Printform(surface);
        surface.Print(L"窗口的边框由标题栏的皮肤画出；右上角的按钮有悬停和按下两种样子。", RECT{30, 70, w - 30, 120});
        web_close.Move(w - 50, 1, 43, 18);
        web_minmax.Move(w - 75, 1, 25, 18);
        web_min.Move(w - 99, 1, 24, 18);
        web_tool.Move(w - 123, 1, 24, 18);
        GameSpaceBtn.Move(w - 210, 6, 81, 22);
        OtherUserBtn.Move(w - 315, 6, 99, 22);
        ::InvalidateRect(handle(), nullptr, FALSE);
    }

    void Form_QueryUnload(bool& cancel) override {
        if (!m_bExit) MsgFrm::Ask(handle(), m_bExit);
        if (!m_bExit) cancel = true;
    }

    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        LRESULT result;
        if (surface.PaintMessage(handle(), msg, wParam, result)) return result;
        return Form::HandleMessage(msg, wParam, lParam);
    }

private:
    Surface surface;
    BForm WebBForm;
    forms::PictureBox logo;
    iButton OtherUserBtn, GameSpaceBtn, web_tool, web_min, web_minmax, web_close;
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    DemoFrm demo;
    demo.askAtStart = std::wstring(::GetCommandLineW()).find(L"/ask") != std::wstring::npos;
    demo.Show();
    return forms::Application::Run();
}
