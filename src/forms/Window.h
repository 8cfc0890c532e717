// A window owned by a C++ object: one static window procedure finds the object and calls its
// HandleMessage member. The handle is destroyed with the object.
#pragma once

#include <windows.h>

#include <string>

namespace xcyh2::forms {

struct WindowDesign {
    const wchar_t* className = L"Xcyh2Window";
    std::wstring caption;
    DWORD style = WS_OVERLAPPEDWINDOW;
    DWORD exStyle = 0;
    int x = CW_USEDEFAULT;
    int y = CW_USEDEFAULT;
    int width = CW_USEDEFAULT;   // outer size, unless clientSize is set
    int height = CW_USEDEFAULT;
    bool clientSize = false;     // width and height give the client area
    HWND parent = nullptr;       // parent (child windows) or owner (top-level windows)
    UINT_PTR id = 0;             // control id of a child window
    COLORREF background = RGB(255, 255, 255);
    UINT classStyle = CS_DBLCLKS;

    // Places a window of this design's width and height in the middle of the screen.
    void CentreOnScreen();

    // A visible child window of parent at the given pixel rectangle, clipped by its siblings.
    static WindowDesign Child(const wchar_t* className, HWND parent, int x, int y, int width, int height);
};

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND handle() const { return hwnd_; }
    bool exists() const { return hwnd_ != nullptr; }

    // The object behind a window made by this class, or nullptr.
    static Window* FromHandle(HWND hwnd);

protected:
    bool CreateWin(const WindowDesign& design);
    void DestroyWin();

    // Messages not handled by a derived class go to DefWindowProc.
    virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    // Names the window in the event-log entry of an exception that reached its window
    // procedure: no exception goes on through the system's dispatch.
    virtual const wchar_t* ErrorSource() const { return L"Window"; }
    // Called once the window is gone (after WM_NCDESTROY); the handle is already cleared.
    virtual void OnWindowGone() {}

    COLORREF background() const { return background_; }
    void set_background(COLORREF colour);

private:
    static LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static void RegisterClassOnce(const wchar_t* className, UINT classStyle);

    HWND hwnd_ = nullptr;
    COLORREF background_ = RGB(255, 255, 255);
    HBRUSH backgroundBrush_ = nullptr;
};

// Mouse button and shift codes as the controls' events report them.
enum MouseButton : short { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };
enum ShiftState : short { kShiftMask = 1, kCtrlMask = 2, kAltMask = 4 };
short ButtonFromMessage(UINT msg, WPARAM wParam);   // the button of a press/release, or held buttons for moves
short ShiftFromKeyState(WPARAM wParam);

// Lets the system move a window with the mouse, as if its caption had been pressed.
void StartSystemDrag(HWND hwnd);

// Cuts a window to a rectangle from (0, 0) to (width, Buttom) with elliptic corners of the given
// size (pixels); the window owns the region from then on.
void RectRgn(HWND hWnd, int width, int Buttom, int cornerWidth, int cornerHeight);

}  // namespace xcyh2::forms
