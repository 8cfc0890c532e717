// BForm: the drawn title bar of a borderless window. Placed across the top of a form, it paints
// a bar 500 twips high from pieces of the skin picture (IDB_TITLE_SKIN), prints the caption on it
// in white 宋体 9 pt bold, and while frmHwnd is set a left-button drag on the bar moves that window
// (the system's own move loop, which returns when the button is released; MouseDown is raised
// after it). Printform paints the rest of the frame (side and bottom edges, bottom corners) onto
// the holding form's surface.
//
// For a host form:
//     WebBForm.Create(handle(), 0, 0, width, {{L"HasLogo", true}});
//     WebBForm.SetCaption(L"星槎远航录2");
//     WebBForm.SetfrmHwnd(handle());                // 0 while maximised: no drag
//     // on every resize, with the form's own Surface (shown by its WM_PAINT):
//     surface.Resize(clientWidth, clientHeight); WebBForm.Printform(surface);
// Sizes given to Create and Move are pixels (the height is the bar's own); the events report
// X and Y in twips. The bar draws at the scale its holder gives it (SetScale; 96 DPI until
// then): its height, pieces, caption and font grow with it, cut from the same skin. Without its picture the bar shows its background colour and the caption,
// and drags as usual. Any handler may destroy the bar.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "base/DpiScale.h"
#include "controls/Picture.h"
#include "controls/Surface.h"
#include "forms/PropertyBag.h"
#include "forms/Window.h"
#include "resources/ResourceIds.h"

namespace xcyh2 {

class BForm : public forms::Window {
public:
    // skinBitmap: the bitmap resource the bar is cut from.
    explicit BForm(std::int32_t skinBitmap = IDB_TITLE_SKIN);
    ~BForm() override;

    // Creates the bar inside parent, below its other children, and reads its saved properties.
    bool Create(HWND parent, int x, int y, int width, const forms::PropertyBag& properties = {}, UINT_PTR id = 0);
    // Reads the saved properties; the bar is repainted as soon as the caption is read.
    void ReadProperties(const forms::PropertyBag& properties);
    void WriteProperties(forms::PropertyBag& properties) const;
    // The height stays the bar's whatever is asked.
    void Move(int x, int y, int width, int height);
    int BarHeight() const;  // pixels
    // The holder window's scale; before Create it sets the size the bar is made at.
    void SetScale(const DpiScale& scale);
    const DpiScale& Scale() const { return scale_; }

    HWND hWnd() const { return handle(); }
    // The background colour as decimal text; text that is not a 32-bit number is ignored.
    std::wstring BackColor() const;
    void SetBackColor(const std::wstring& New_BackColor);
    const std::wstring& Caption() const { return surface_.Tag; }
    void SetCaption(const std::wstring& New_caption);
    bool HasLogo() const { return hasLogo_; }
    void SetHasLogo(bool New_HasLogo);
    HWND frmHwnd() const { return frmHwnd_; }
    void SetfrmHwnd(HWND New_frmHwnd);

    // Covers the place of a minimise button at the bar's right end with plain bar.
    void Nomin();
    // Paints the frame of the form whose surface this is: the surface is cleared, then its
    // side and bottom edges and bottom corners are drawn (the bar covers its top).
    void Printform(Surface& form) const;

    // The bar as drawn (for the tests).
    HDC hdc() const { return surface_.hdc(); }

    // Events.
    using MouseEvent = std::function<void(short& Button, short& Shift, float& X, float& Y)>;
    std::function<void()> MinClick;  // never raised
    std::function<void()> DblClick;
    MouseEvent MouseDown;
    MouseEvent MouseMove;
    std::function<void(const wchar_t* name)> PropertyChanged;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    const wchar_t* ErrorSource() const override { return L"BForm"; }

private:
    void PaintBar();
    void LoadSkin();
    void Changed(const wchar_t* name);
    bool RaiseMouse(const MouseEvent& event, UINT msg, WPARAM wParam, LPARAM lParam);

    // The skin picture and a device context that holds it (the picture box PP), made at
    // creation and drawn anew for a new art set; released in reverse.
    std::int32_t skinBitmap_;
    PicturePtr skin_;
    unique_hdc PP_;
    HGDIOBJ ppOriginal_ = nullptr;
    Surface surface_;
    DpiScale scale_;
    bool hasLogo_ = false;
    HWND frmHwnd_ = nullptr;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace xcyh2
