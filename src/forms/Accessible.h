// What screen readers see of a control: its role and name, and the children it may have (the
// tab strip's tabs: named, one of them selected, each with its rectangle on the screen). The
// control answers WM_GETOBJECT with this object; it lives as long as its readers hold it, and
// answers nothing more once the control is gone.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <cstdint>
#include <string>

namespace xcyh2::forms {

// The control as the accessible object reads it. Children are numbered from 0 here; readers
// know them by child ids from 1.
class IAccessSource {
public:
    virtual HWND AccessWindow() const = 0;
    virtual long AccessRole() const = 0;
    virtual std::wstring AccessName() const = 0;  // empty: none
    // What the default action does, named; empty: the control has none.
    virtual std::wstring AccessAction() const { return {}; }
    virtual void AccessDoAction() {}
    // Children: selectable elements (page tabs), one at most selected; the default action and
    // taking the selection select them.
    virtual long AccessChildRole() const { return ROLE_SYSTEM_PAGETAB; }
    virtual std::int32_t AccessChildCount() const { return 0; }
    virtual std::int32_t AccessSelectedChild() const { return -1; }  // -1: none
    virtual std::wstring AccessChildName(std::int32_t) const { return {}; }
    virtual RECT AccessChildRect(std::int32_t) const { return {}; }  // client coordinates
    virtual void AccessSelectChild(std::int32_t) {}

protected:
    ~IAccessSource() = default;
};

class Accessible final : public IAccessible {
public:
    // Made with one reference, the caller's.
    explicit Accessible(IAccessSource& source) : source_(&source) {}
    Accessible(const Accessible&) = delete;
    Accessible& operator=(const Accessible&) = delete;

    // The control is going: every later call fails as for a disconnected object.
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
    ~Accessible() = default;
    // The child a VARIANT names: 0 the control itself, 1..count a child; -1 for anything else.
    long ChildOf(const VARIANT& child) const;
    // ChildOf for a call: S_OK with id, or why the call fails.
    HRESULT Resolve(const VARIANT& child, long& id) const;
    // Clears a VARIANT out-parameter: S_OK, or why the call fails.
    HRESULT Clear(VARIANT* out) const;
    // The name (or, name false, the default action) of the control or a child.
    HRESULT Text(const VARIANT& child, BSTR* out, bool name);

    ULONG refs_ = 1;
    IAccessSource* source_;
};

// A control's hold on its accessible object: made at the first WM_GETOBJECT for the client
// area, disconnected and let go when the control goes (Close, or at the latest its destructor).
class AccessibleSlot {
public:
    explicit AccessibleSlot(IAccessSource& source) : source_(source) {}
    ~AccessibleSlot() { Close(); }
    AccessibleSlot(const AccessibleSlot&) = delete;
    AccessibleSlot& operator=(const AccessibleSlot&) = delete;

    // The answer to WM_GETOBJECT; 0 leaves the message to the system.
    LRESULT Answer(WPARAM wParam, LPARAM lParam);
    // The object the answer hands out, for a caller in this process: a new reference.
    IAccessible* Object();
    void Close();

private:
    IAccessSource& source_;
    Accessible* object_ = nullptr;  // one reference ours
};

}  // namespace xcyh2::forms
