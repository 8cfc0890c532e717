// The tests' one way into the main window: the parts they press and read, and its exit flag.
#pragma once

#include "mainwindow/WebMainFrm.h"

namespace xcyh2 {

struct WebMainFrm::TestView {
    WebMainFrm& frm;

    uTab* WebuTab() const { return frm.tabs_.WebuTab(); }
    const forms::ToolTip& TabToolTip() const { return frm.tabs_.TabToolTip(); }
    forms::PopupMenu& appmenu() const { return frm.appmenu_; }
    forms::PictureBox& Picture1() const { return frm.Picture1_; }
    forms::PictureBox& pCnt() const { return frm.pCnt_; }
    iButton& web_minmax() const { return frm.web_minmax_; }
    iButton& web_close() const { return frm.web_close_; }
    iButton& OtherUserBtn() const { return frm.OtherUserBtn_; }
    forms::PictureBox& PicLogo() const { return frm.PicLogo_; }
    const BForm& WebBForm() const { return frm.frame_.WebBForm(); }
    const winhooks::cSetStyle* objStyle() const { return frm.frame_.objStyle(); }
    const Surface& FormSurface() const { return frm.frame_.FormSurface(); }
    bool& m_bExit() const { return frm.m_bExit; }
    void web_minmax_Click() const { frm.web_minmax_Click(); }
};

}  // namespace xcyh2
