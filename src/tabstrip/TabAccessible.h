// What screen readers see of the tab strip: a page-tab list whose children are its tabs, each
// named with its caption, the selected one in the selected state, each with its rectangle on
// the screen. The strip answers WM_GETOBJECT with this object; it lives as long as its clients
// hold it, and answers nothing more once the strip is gone.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <cstdint>
#include <string>

namespace xcyh2 {

// The strip as the accessible object reads it (tab indexes from 0).
class ITabAccessSource {
public:
    virtual HWND AccessWindow() const = 0;
    virtual std::int32_t AccessTabCount() const = 0;
    virtual std::int32_t AccessSelectedTab() const = 0;  // -1: none
    virtual std::wstring AccessTabName(std::int32_t index) const = 0;
    virtual RECT AccessTabRect(std::int32_t index) const = 0;  // client coordinates
    virtual void AccessSelectTab(std::int32_t index) = 0;

protected:
    ~ITabAccessSource() = default;
};

class TabAccessible final : public IAccessible {
public:
    // Made with one reference, the caller's.
    explicit TabAccessible(ITabAccessSource& source) : source_(&source) {}
    TabAccessible(const TabAccessible&) = delete;
    TabAccessible& operator=(const TabAccessible&) = delete;

    // The strip is going: every later call fails as for a disconnected object.
    void Disconnect() { source_ = nullptr; }

    // The answer to WM_GETOBJECT for the client area (0 where oleacc.dll cannot be had).
    LRESULT Answer(WPARAM wParam);

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IDispatch: no type information; clients use the IAccessible calls.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible
    STDMETHODIMP get_accParent(IDispatch** parent) override;
    STDMETHODIMP get_accChildCount(long* count) override;
    STDMETHODIMP get_accChild(VARIANT child, IDispatch** dispatch) override;
    STDMETHODIMP get_accName(VARIANT child, BSTR* name) override;
    STDMETHODIMP get_accValue(VARIANT child, BSTR* value) override;
    STDMETHODIMP get_accDescription(VARIANT child, BSTR* description) override;
    STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override;
    STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override;
    STDMETHODIMP get_accHelp(VARIANT child, BSTR* help) override;
    STDMETHODIMP get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override;
    STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    STDMETHODIMP get_accFocus(VARIANT* focus) override;
    STDMETHODIMP get_accSelection(VARIANT* selection) override;
    STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* action) override;
    STDMETHODIMP accSelect(long flags, VARIANT child) override;
    STDMETHODIMP accLocation(long* left, long* top, long* width, long* height, VARIANT child) override;
    STDMETHODIMP accNavigate(long direction, VARIANT start, VARIANT* end) override;
    STDMETHODIMP accHitTest(long x, long y, VARIANT* child) override;
    STDMETHODIMP accDoDefaultAction(VARIANT child) override;
    STDMETHODIMP put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    ~TabAccessible() = default;
    // The child a VARIANT names: 0 the strip itself, 1..count a tab; -1 for anything else.
    long ChildOf(const VARIANT& child) const;
    // A tab's name (or, name false, its default action); nothing for the strip itself.
    HRESULT TabText(const VARIANT& child, BSTR* out, bool name);

    ULONG refs_ = 1;
    ITabAccessSource* source_;
};

}  // namespace xcyh2
