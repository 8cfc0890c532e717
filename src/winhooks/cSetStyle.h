// Borderless window styling: gives a window without the system's caption and frame back what
// the frame provided. Dragging an edge or a corner resizes it (a focus-rectangle outline follows
// the pointer on the screen, and the window moves once, at the release), edge cursors show
// where that works, CallWindowStateChange maximises it over the screen above the taskbar and
// restores it, a changed work area refits it while maximised, and Close from its system menu
// raises CloseClick. It watches the window through the form message hook and never swallows a
// message.
//
// A handler may destroy this object (the main window's CloseClick unloads the window): nothing
// here touches the object after a handler returns unless it is still alive.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "winhooks/FrameGeometry.h"

namespace xcyh2::winhooks {

class cFormSubclass;

// Height of a taskbar docked at the bottom: the screen height below the work area.
int GetTaskbarHeight();

class cSetStyle {
public:
    cSetStyle();
    ~cSetStyle();
    cSetStyle(const cSetStyle&) = delete;
    cSetStyle& operator=(const cSetStyle&) = delete;

    // Call once while the window loads, before it is shown: style WS_SYSMENU | WS_MINIMIZEBOX
    // exactly (no caption, no sizing frame, no maximise box), and the hook.
    void SetWindowStyle(HWND hWnd);
    // Maximised -> the rectangle it had before; otherwise -> the screen above the taskbar.
    // Returns the new maximised flag. The system's own window state stays normal.
    bool CallWindowStateChange();
    bool Maximised() const { return maximised_; }
    // Held: the window's place is someone else's (full screen). No edge sizes it and a changed
    // work area does not refit it; the maximised state and its restore rectangle stay as they
    // were, for when it is let go.
    void Hold(bool held) { held_ = held; }
    // The window's scale: the edges' width and the smallest size a drag leaves.
    void SetScale(const DpiScale& scale) { scale_ = scale; }

    // The window that is moved and sized (the styled window when not set).
    void set_objForm(HWND form) { form_ = form; }
    HWND objForm() const { return form_; }

    std::function<void()> CloseClick;     // Close chosen from the window's system menu
    std::function<void()> SettingChange;  // WM_SETTINGCHANGE
    // Every mouse move over the window while neither resizing nor maximised: the edge code.
    std::function<void(int theMouseStyle)> MouseSize;

private:
    void objSubclass_MsgCome(bool bBefore, UINT uMsg, WPARAM wParam);
    void OnMouseMove(WPARAM wParam);
    // The edge cursor while the pointer is over a sizing edge; false elsewhere.
    bool SetEdgeCursor();
    void OnLeftButtonDown();
    void StartResizing(int edge);
    void UpdateOutline(POINT cursor);
    void FinishResizing();
    void MoveForm(const FrameRect& rect);
    HWND Target() const { return form_ ? form_ : hwnd_; }
    FrameRect WindowRect(HWND hwnd) const;

    std::unique_ptr<cFormSubclass> objSubclass_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    HWND hwnd_ = nullptr;  // the styled window
    HWND form_ = nullptr;
    bool maximised_ = false;
    bool held_ = false;
    DpiScale scale_;
    bool resizing_ = false;
    bool tookCapture_ = false;  // the press did not capture the mouse: we did, and let it go
    HDC screenDc_ = nullptr;    // held only while an outline is on the screen
    int edge_ = kEdgeNone;      // the edge being dragged
    FrameRect oldOutline_;      // the outline now on the screen
    FrameRect restore_;         // where the window was before the last maximise
};

}  // namespace xcyh2::winhooks
