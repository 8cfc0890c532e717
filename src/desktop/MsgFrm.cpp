#include "desktop/MsgFrm.h"

#include <utility>

#include "base/EventLog.h"
#include "base/WindowScale.h"
#include "controls/DialogChrome.h"
#include "controls/PropertyText.h"
#include "forms/ScreenAreas.h"
#include "base/Settings.h"

namespace xcyh2 {

namespace {
constexpr int kWidth = 242, kHeight = 140, kCorner = 4;
constexpr EdgeRect kLabel1{24, 56, 24 + 209, 56 + 41};
constexpr EdgeRect kYes{56, 88, 56 + 65, 88 + 25}, kNo{136, 88, 136 + 65, 88 + 25};

forms::PropertyBag AnswerButton(const wchar_t* caption) {
    FontDesc font;  // 宋体 9 pt, GB2312
    return {{L"Caption", std::wstring(caption)},
            {L"AutoSize", false},
            {L"cFont", FontToText(font)},
            {L"cForeColor", static_cast<std::int32_t>(kButtonTextColour)}};
}
}  // namespace

MsgFrm::MsgFrm(bool& m_bExit, std::wstring question) : m_bExit_(m_bExit), question_(std::move(question)) {
    surface_.SetBackColor(RGB(255, 255, 255));
}

MsgFrm::~MsgFrm() {
    // The controls' windows go with the form's; the form's goes first, while they still exist.
    if (IsLoaded()) Unload();
}

bool MsgFrm::Ask(HWND owner, bool& m_bExit, const std::wstring& question) {
    MsgFrm dialog(m_bExit, question);
    dialog.ShowModal(owner);
    return m_bExit;
}

void MsgFrm::ShowModal(HWND owner) {
    owner_ = owner;
    scale_ = WindowScale(owner);
    surface_.SetDpi(scale_.Dpi());
    Load();
    if (!IsLoaded()) return;
    if (owner_ && ::IsWindowEnabled(owner_)) {
        ::EnableWindow(owner_, FALSE);
        ownerDisabled_ = true;
    }
    Show(SW_SHOW);
    ::SetForegroundWindow(handle());
    ::SetFocus(handle());
    while (IsLoaded()) {
        MSG msg;
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            // The program is asked to end: the dialog goes without an answer and the loop
            // outside hears of the end too.
            Unload();
            if (got == 0) ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

forms::WindowDesign MsgFrm::Design() const {
    forms::WindowDesign design;
    design.className = kClassName;
    design.caption = settings::kWindowCaption;
    design.style = WS_POPUP | WS_CLIPCHILDREN;
    design.width = scale_.Pixels(kWidth);
    design.height = scale_.Pixels(kHeight);
    design.CentreOnScreen();
    design.parent = owner_;
    design.background = RGB(255, 255, 255);
    return design;
}

void MsgFrm::Form_Load() {
    RECT client;
    ::GetClientRect(handle(), &client);
    CreateDialogTitleBar(BForm1_, handle(), client.right, kTitleBarId, scale_);
    BForm1_.SetCaption(std::wstring(settings::kGameTitle) + settings::kCaptionSuffix);
    // The bar moves the dialog itself, whichever button pressed it.
    BForm1_.MouseDown = [this](short&, short&, float&, float&) {
        if (exists()) forms::StartSystemDrag(handle());
    };

    CreateDialogCloseButton(closebtn_, handle(), client.right, kCloseId, scale_);
    auto answerButton = [this](iButton& button, const EdgeRect& box, const wchar_t* caption, UINT_PTR id) {
        EdgeRect r = scale_.Rect(box);
        button.SetDpi(scale_.Dpi());
        button.Create(handle(), r.left, r.top, r.Width(), r.Height(), AnswerButton(caption), id);
    };
    answerButton(iButton1_, kYes, L"是", kYesId);
    answerButton(iButton2_, kNo, L"否", kNoId);

    iButton1_.Click = [this] { Answer(true); };
    iButton2_.Click = [this] { Answer(false); };
    closebtn_.Click = [this] { Answer(false); };
    Form_Resize();
}

void MsgFrm::Form_Resize() {
    RECT client;
    ::GetClientRect(handle(), &client);
    const int width = client.right, height = client.bottom;
    const int corner = scale_.Pixels(kCorner);
    forms::RectRgn(handle(), width + 1, height + 1, corner, corner);
    surface_.Resize(width, height);
    BForm1_.Printform(surface_);
    const EdgeRect label = scale_.Rect(kLabel1);
    surface_.Print(question_, RECT{label.left, label.top, label.right, label.bottom});
    ::InvalidateRect(handle(), nullptr, FALSE);
    PlaceDialogCloseButton(closebtn_, width, scale_);
}

void MsgFrm::Form_Unload() {
    // The owner takes input again before the dialog goes, so it is the window activated next.
    if (ownerDisabled_) {
        ::EnableWindow(owner_, TRUE);
        ownerDisabled_ = false;
    }
}

void MsgFrm::ApplyScale(const DpiScale& scale, const RECT& suggested) {
    scale_ = scale;
    surface_.SetDpi(scale.Dpi());
    BForm1_.SetScale(scale);
    for (auto [button, box] : {std::pair{&iButton1_, kYes}, std::pair{&iButton2_, kNo}}) {
        const EdgeRect r = scale.Rect(box);
        button->SetDpi(scale.Dpi());
        button->Move(r.left, r.top, r.Width(), r.Height());
    }
    const int width = scale.Pixels(kWidth), height = scale.Pixels(kHeight);
    const RECT place =
        forms::ReachablePlace({suggested.left, suggested.top, suggested.left + width, suggested.top + height}, scale);
    // The size message lays the rest out: the bar, the frame, the question, the close button.
    ::SetWindowPos(handle(), nullptr, place.left, place.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    Form_Resize();
}

void MsgFrm::Answer(bool exit) {
    m_bExit_ = exit;
    Unload();
}

LRESULT MsgFrm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result;
    if (surface_.PaintMessage(handle(), msg, wParam, result)) return result;
    switch (msg) {
        case WM_DPICHANGED:
            if (lParam) ApplyScale(DpiScale(HIWORD(wParam)), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_KEYDOWN:
            // Escape answers as the close button does.
            if (wParam == VK_ESCAPE) {
                Answer(false);
                return 0;
            }
            break;
        default:
            break;
    }
    return Form::HandleMessage(msg, wParam, lParam);
}

}  // namespace xcyh2
