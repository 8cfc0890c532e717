// The tab strip control: a horizontal strip of tabs, one per hosted form, placed along the top
// of a host form. The forms live in a separate container window (hContainerWnd) as borderless
// children sized to its client area; the selected tab's form is on top. The strip owns the tab
// collection and implements IuTab for it, hit-tests the pointer, tracks hover and pressed
// states, raises its events to the host and paints through off-screen surfaces.
//
// Drawing is off until the host calls LockReDraw(false). Events are plain callbacks; arguments
// the host may change are references.
//
// The strip draws at the scale its holder gives it (SetScale; 96 DPI until then): its height,
// margins, tabs, close buttons, hit boxes and fonts grow with it, the layout computed at 96 DPI
// and each edge scaled. Tab Left and Width stay 96-DPI pixels; pointer positions in events are
// the window's pixels.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

#include "base/DpiScale.h"
#include "base/win_handles.h"
#include "forms/Accessible.h"
#include "forms/PropertyBag.h"
#include "forms/Window.h"
#include "tabstrip/CTabItems.h"
#include "tabstrip/TabGeometry.h"
#include "tabstrip/TabPaintPlan.h"
#include "tabstrip/mdlTabAPI.h"
#include "winhooks/CSubclass.h"

namespace xcyh2 {

class uTab : public forms::Window, public IuTab, private ISubclassHandler, private forms::IAccessSource {
public:
    uTab();
    ~uTab() override;

    // Creates the strip's window inside parent, reading the persisted properties first; its
    // height follows the style whatever the host asks.
    bool Create(HWND parent, int x, int y, int width, const forms::PropertyBag& properties = {});
    void ReadProperties(const forms::PropertyBag& properties);
    void WriteProperties(forms::PropertyBag& properties) const;

    void refresh();
    void LockReDraw(bool lock);

    // The holder window's scale (WindowScale of it, and again on WM_DPICHANGED). Before Create
    // it sets the size the strip is made at; afterwards the strip takes its new height and
    // rebuilds its fonts, surfaces and pieces at once.
    void SetScale(const DpiScale& scale);
    // The object screen readers are handed, for a caller in this process: a new reference.
    IAccessible* AccessibleObject() { return accessible_.Object(); }
    const DpiScale& Scale() const { return scale_; }

    HWND hContainerWnd() const { return container_; }
    void SethContainerWnd(HWND container);

    std::int32_t TabLeftSize() const { return leftSize_; }
    void SetTabLeftSize(std::int32_t size) { leftSize_ = size; }
    std::int32_t TabRightSize() const { return rightSize_; }
    void TabRight(std::int32_t size) { rightSize_ = size; }
    std::int32_t TabStyle() const { return tabStyle_; }
    void SetTabStyle(std::int32_t style) { tabStyle_ = style; }

    // Reloads the selected tab's form; with no tab selected that is an object-not-set error.
    void RefreshPage();

    // IuTab
    void Add(const std::wstring& caption, ITabForm& form, const std::optional<std::wstring>& key,
             const TabIndex& index) override;
    bool BeforeRemove(std::int32_t index) override;
    void Remove(std::int32_t index) override;
    void Clear() override;
    void Redraw(bool update) override;
    void ChangeForm(CTabItem& item, ITabForm& form) override;
    std::int32_t Selected() const override { return selected_; }
    void SetSelected(std::int32_t index) override;
    CTabItems& TabItems() override { return *items_; }
    HWND hWnd() const override { return handle(); }
    HWND hParent() const override;

    // Events.
    using MouseEvent = std::function<void(std::int32_t index, short& button, short& shift, float& x, float& y)>;
    std::function<void()> TabChanged;
    MouseEvent OnDblClick;
    MouseEvent OnMouseDown;
    MouseEvent OnMouseHover;
    MouseEvent OnMouseMove;
    MouseEvent OnMouseUp;
    std::function<void()> OnMouseLeave;
    std::function<void(std::int32_t index, bool& cancel)> OnItemColose;
    std::function<void(HDC dc, std::int32_t width, std::int32_t height, bool& cancel)> OnDrawBackground;

    // The finished picture the window shows, and the pointer state behind it.
    HDC CompositeDC() const { return composite_.get(); }
    std::int32_t HoverIndex() const { return hoverIndex_; }
    std::int32_t HoverState() const { return hoverState_; }
    std::int32_t SharedTabWidth() const { return sharedWidth_; }
    // Sets the hover index and state (0 body, 1 over the close button, 2 close button pressed)
    // and repaints only the tabs whose pictures that changes.
    void ShowHover(std::int32_t index, std::int32_t state);

    // Painting (also run by the strip itself at the moments its events and IuTab name).
    void CreateBuffers();
    void FreeBuffers();
    void LoadSkins();
    void RedrawAll();
    void DrawStripBackground();
    void DrawTabs();
    // Every tab drawn from the skin through a temporary surface of its own, as the strip drew
    // before it kept its pieces: the reference the cached drawing matches pixel for pixel. It
    // knows only the art's own scale; at any other the strip draws as DrawTabs does.
    void DrawTabsDirect();
    // Tabs drawn by the last DrawTabs or hover repaint.
    std::int32_t TabsDrawnLast() const { return tabsDrawn_; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    const wchar_t* ErrorSource() const override { return L"uTab"; }

private:
    struct PointerRecord {
        short button = 0;
        short shift = 0;
        float x = 0;
        float y = 0;
    };

    void WindowProc(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND lng_hWnd, UINT uMsg, WPARAM wParam,
                    LPARAM lParam, LONG_PTR& lParamUser) override;
    void c_Subclass_WindowProc(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND lng_hWnd, UINT uMsg,
                               WPARAM wParam, LPARAM lParam, LONG_PTR& lParamUser);

    void Resize();
    void ComputeTabWidth();
    void LayoutTabs();
    void AttachForm(HWND form);
    void ShowSelectedForm();
    HitResult Hit(float x, float y) const;
    std::vector<TabBox> Boxes() const;
    std::int32_t StripWidth() const;
    std::int32_t Count() const { return items_->Count(); }

    void MousePress(short button, short shift, float x, float y);
    void MouseMoved(short button, short shift, float x, float y);
    void MouseRelease(short button, short shift, float x, float y);
    void DoubleClick();
    void MouseLeft();
    void Paint();
    // Repaints, after a change of the hover from before, the columns of the tabs it changes.
    void RepaintHover(HoverInfo before);
    // Draws the tabs over the background in the tab area's columns [from, to) and shows them.
    void DrawTabsIn(std::int32_t from, std::int32_t to);
    // The skin piece at (sourceX, 0), pieceWidth x pieceHeight, drawn width x height with its
    // ends of sourceEnd art pixels drawn end pixels wide, as pixels.
    const std::vector<std::uint32_t>& CachedPiece(HDC skin, std::int32_t sourceX, std::int32_t pieceWidth,
                                                  std::int32_t pieceHeight, std::int32_t sourceEnd, std::int32_t end,
                                                  std::int32_t width, std::int32_t height);
    // The same for a scale other than the art's, its transparent colour kept exact.
    std::vector<std::uint32_t> EnlargedPiece(HDC skin, std::int32_t sourceX, std::int32_t pieceWidth,
                                             std::int32_t pieceHeight, std::int32_t sourceEnd, std::int32_t end,
                                             std::int32_t width, std::int32_t height);
    const std::vector<std::uint32_t>& SkinPixels(HDC skin);
    void DrawTabText(HDC surface, const std::wstring& text, int x, int y, int width, int height);
    // Tells screen readers when another tab became the selected one.
    void AnnounceSelection();

    // IAccessSource: a page-tab list, the tabs its children.
    HWND AccessWindow() const override { return handle(); }
    long AccessRole() const override { return ROLE_SYSTEM_PAGETABLIST; }
    std::wstring AccessName() const override { return {}; }
    std::int32_t AccessChildCount() const override { return Count(); }
    std::int32_t AccessSelectedChild() const override { return selected_; }
    std::wstring AccessChildName(std::int32_t index) const override;
    RECT AccessChildRect(std::int32_t index) const override;
    void AccessSelectChild(std::int32_t index) override;

    // Raises a mouse event; false when the handler destroyed the strip.
    bool Raise(MouseEvent event, std::int32_t index, short button, short shift, float x, float y);

    // In the order the strip creates them; released in reverse in the destructor.
    mdlTabAPI::MemDC skins_[2];
    int skinSets_[2] = {100, 100};  // the art set each skin was drawn for
    mdlTabAPI::MemDC background_, composite_, tabArea_;
    std::uint32_t* areaBits_ = nullptr;  // tabArea_'s pixels
    bool areaDrawn_ = false;             // tabArea_ holds a whole drawing of the tabs
    std::int32_t leftSize_ = 40;
    std::int32_t rightSize_ = 0;
    std::unique_ptr<CTabItems> items_;
    std::int32_t selected_ = -1;
    std::int32_t announced_ = -1;  // the selection screen readers were last told of
    // What screen readers hold of the strip.
    forms::AccessibleSlot accessible_{*this};
    std::int32_t hoverIndex_ = -1;
    std::int32_t sharedWidth_ = 108;
    std::int32_t hoverState_ = 0;
    bool drawingEnabled_ = false;
    DpiScale scale_;
    unique_hfont normalFont_, boldFont_;
    PointerRecord lastPointer_;
    std::int32_t tabStyle_ = 0;
    HWND container_ = nullptr;
    std::unique_ptr<CSubclass> subclass_;

    // The geometry the surfaces were made for (style and margins take effect at a resize): the
    // one snapshot the layout, the painting and the hit test all read.
    std::int32_t bufStyle_ = 0, bufWidth_ = 0, bufHeight_ = 0, bufArea_ = 0, bufLeft_ = 0;
    std::int32_t bufStripWidth_ = 0;
    std::int32_t bufRight_ = 0;
    bool resizing_ = false;
    // Composed tab pictures and glyphs by style, skin piece, width and height, the skin's own
    // pixels and, on a denser screen, the skin with colour beside its art to filter from; all
    // flushed with the surfaces on a resize or a change of style or scale.
    std::map<std::tuple<std::int32_t, std::int32_t, std::int32_t, std::int32_t>, std::vector<std::uint32_t>> pieces_;
    std::vector<std::uint32_t> skinPixels_;
    mdlTabAPI::MemDC filledSkin_;
    std::int32_t skinWidth_ = 0, skinHeight_ = 0;
    std::int32_t tabsDrawn_ = 0;
    // Every event is raised from a copy of its handler, and the strip checks this token after
    // each one: a host may destroy the strip inside any of its events (closing the last tab
    // closes the window that holds the strip).
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace xcyh2
