// MsgFrm: the skinned question the main window asks before it closes. A 242 x 140 borderless
// dialog with rounded corners, the drawn title bar (the game's title followed by "客户端", dragged
// to move the dialog), a close button, the question and the buttons "是" and "否". Its answer is
// the owner's m_bExit: "是" sets it True, "否" and the close button False; every button then
// unloads the dialog. Any other close (the owner going away, the end of the session) leaves the
// flag as it was. The dialog is made afresh for every question, at its owner's scale (sizes
// here are at 96 DPI).
//
// For the main window's close handling (the dialog is modal: it returns once answered):
//     void WebMainFrm::Form_QueryUnload(bool& cancel) {
//         if (!m_bExit) MsgFrm::Ask(handle(), m_bExit);
//         if (!m_bExit) cancel = true;
//         ...
//     }
#pragma once

#include <windows.h>

#include <string>

#include "base/DpiScale.h"
#include "controls/BForm.h"
#include "controls/Surface.h"
#include "controls/iButton.h"
#include "forms/Form.h"

namespace xcyh2 {

class MsgFrm : public forms::Form {
public:
    static constexpr const wchar_t* kCloseQuestion = L"窗口即将关闭，确定要退出游戏？";
    static constexpr const wchar_t* kClassName = L"Xcyh2MsgFrm";
    // Control ids of the three buttons among the dialog's children.
    enum : UINT_PTR { kYesId = 1, kNoId = 2, kCloseId = 3, kTitleBarId = 4 };

    // m_bExit is the owner's flag that the buttons set; it must outlive the dialog.
    explicit MsgFrm(bool& m_bExit, std::wstring question = kCloseQuestion);
    ~MsgFrm() override;

    // Asks the question modally over owner (nullptr: no owner) and returns m_bExit as the
    // dialog left it. The owner takes no input meanwhile.
    static bool Ask(HWND owner, bool& m_bExit, const std::wstring& question = kCloseQuestion);
    // Shows the dialog modally; returns when it has unloaded.
    void ShowModal(HWND owner);

    // The dialog's parts.
    BForm& BForm1() { return BForm1_; }
    iButton& closebtn() { return closebtn_; }
    iButton& iButton1() { return iButton1_; }
    iButton& iButton2() { return iButton2_; }
    const Surface& FormSurface() const { return surface_; }

protected:
    forms::WindowDesign Design() const override;
    void Form_Load() override;
    void Form_Resize() override;
    void Form_Unload() override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    const wchar_t* ErrorSource() const override { return L"MsgFrm"; }

private:
    void Answer(bool exit);
    // The parts at a new scale (a move to a screen of another scale); the window takes its
    // size and the place asked for, kept in reach.
    void ApplyScale(const DpiScale& scale, const RECT& suggested);

    bool& m_bExit_;
    std::wstring question_;
    HWND owner_ = nullptr;
    bool ownerDisabled_ = false;
    DpiScale scale_;

    // The form's own drawn picture (frame, background and label), then its controls.
    Surface surface_;
    BForm BForm1_;
    iButton closebtn_, iButton1_, iButton2_;
};

}  // namespace xcyh2
