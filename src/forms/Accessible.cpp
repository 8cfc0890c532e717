#include "forms/Accessible.h"

#include "base/SystemLibraries.h"

namespace xcyh2::forms {
namespace {

// The interfaces' ids, written out: the controls link no id library.
constexpr GUID kIidIUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID kIidIDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID kIidIAccessible = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

BSTR MakeBstr(const std::wstring& text) {
    return sys::oleaut32().SysAllocStringLen.call_or(static_cast<BSTR>(nullptr), text.data(),
                                                     static_cast<UINT>(text.size()));
}

void SetI4(VARIANT* v, long value) {
    v->vt = VT_I4;
    v->lVal = value;
}

// What a property the control does not have answers.
HRESULT Nothing(BSTR* out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return S_FALSE;
}

}  // namespace

LRESULT Accessible::Answer(WPARAM wParam) {
    return sys::oleacc().LresultFromObject.call_or(static_cast<LRESULT>(0), kIidIAccessible, wParam,
                                                   static_cast<LPUNKNOWN>(this));
}

long Accessible::ChildOf(const VARIANT& child) const {
    if (!source_ || child.vt != VT_I4) return -1;
    if (child.lVal == CHILDID_SELF) return 0;
    return child.lVal >= 1 && child.lVal <= source_->AccessChildCount() ? child.lVal : -1;
}

HRESULT Accessible::Resolve(const VARIANT& child, long& id) const {
    if (!source_) return RPC_E_DISCONNECTED;
    id = ChildOf(child);
    return id < 0 ? E_INVALIDARG : S_OK;
}

HRESULT Accessible::Clear(VARIANT* out) const {
    if (!out) return E_POINTER;
    out->vt = VT_EMPTY;
    return source_ ? S_OK : RPC_E_DISCONNECTED;
}

LRESULT AccessibleSlot::Answer(WPARAM wParam, LPARAM lParam) {
    if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT)) return 0;
    if (!object_) object_ = new Accessible(source_);
    return object_->Answer(wParam);
}

IAccessible* AccessibleSlot::Object() {
    if (!object_) object_ = new Accessible(source_);
    object_->AddRef();
    return object_;
}

void AccessibleSlot::Close() {
    if (!object_) return;
    object_->Disconnect();
    object_->Release();
    object_ = nullptr;
}

// ---- IUnknown, IDispatch --------------------------------------------------------------------

STDMETHODIMP Accessible::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualGUID(riid, kIidIUnknown) || IsEqualGUID(riid, kIidIDispatch) || IsEqualGUID(riid, kIidIAccessible)) {
        *object = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) Accessible::AddRef() { return ++refs_; }

STDMETHODIMP_(ULONG) Accessible::Release() {
    ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

STDMETHODIMP Accessible::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP Accessible::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return E_NOTIMPL;
}

// ---- the control and its children -----------------------------------------------------------------

STDMETHODIMP Accessible::get_accParent(IDispatch** parent) {
    if (!parent) return E_POINTER;
    *parent = nullptr;
    return source_ ? S_FALSE : RPC_E_DISCONNECTED;
}

STDMETHODIMP Accessible::get_accChildCount(long* count) {
    if (!count) return E_POINTER;
    if (!source_) return RPC_E_DISCONNECTED;
    *count = source_->AccessChildCount();
    return S_OK;
}

STDMETHODIMP Accessible::get_accChild(VARIANT child, IDispatch** dispatch) {
    if (!dispatch) return E_POINTER;
    *dispatch = nullptr;
    if (!source_) return RPC_E_DISCONNECTED;
    // The children are simple elements, known by their child ids.
    return ChildOf(child) > 0 ? S_FALSE : E_INVALIDARG;
}

HRESULT Accessible::Text(const VARIANT& child, BSTR* out, bool name) {
    if (!out) return E_POINTER;
    *out = nullptr;
    long id = 0;
    if (HRESULT hr = Resolve(child, id); FAILED(hr)) return hr;
    std::wstring text;
    if (id == 0) text = name ? source_->AccessName() : source_->AccessAction();
    else text = name ? source_->AccessChildName(id - 1) : std::wstring(L"切换");  // a child switches to itself
    if (text.empty()) return S_FALSE;
    *out = MakeBstr(text);
    return *out ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP Accessible::get_accName(VARIANT child, BSTR* name) { return Text(child, name, true); }

STDMETHODIMP Accessible::get_accValue(VARIANT, BSTR* value) { return Nothing(value); }
STDMETHODIMP Accessible::get_accDescription(VARIANT, BSTR* description) { return Nothing(description); }
STDMETHODIMP Accessible::get_accHelp(VARIANT, BSTR* help) { return Nothing(help); }
STDMETHODIMP Accessible::get_accKeyboardShortcut(VARIANT, BSTR* shortcut) { return Nothing(shortcut); }

STDMETHODIMP Accessible::get_accHelpTopic(BSTR* file, VARIANT, long* topic) {
    if (topic) *topic = 0;
    return Nothing(file);
}

STDMETHODIMP Accessible::get_accRole(VARIANT child, VARIANT* role) {
    long id = 0;
    if (HRESULT hr = Clear(role); FAILED(hr)) return hr;
    if (HRESULT hr = Resolve(child, id); FAILED(hr)) return hr;
    SetI4(role, id == 0 ? source_->AccessRole() : source_->AccessChildRole());
    return S_OK;
}

STDMETHODIMP Accessible::get_accState(VARIANT child, VARIANT* state) {
    long id = 0;
    if (HRESULT hr = Clear(state); FAILED(hr)) return hr;
    if (HRESULT hr = Resolve(child, id); FAILED(hr)) return hr;
    long bits = 0;
    HWND window = source_->AccessWindow();
    if (!::IsWindowVisible(window)) bits |= STATE_SYSTEM_INVISIBLE;
    if (!::IsWindowEnabled(window)) bits |= STATE_SYSTEM_UNAVAILABLE;
    if (id == 0 && ::GetFocus() == window) bits |= STATE_SYSTEM_FOCUSED;
    if (id == 0 && ::IsWindowEnabled(window)) bits |= STATE_SYSTEM_FOCUSABLE;
    if (id > 0) {
        bits |= STATE_SYSTEM_SELECTABLE;
        if (id - 1 == source_->AccessSelectedChild()) bits |= STATE_SYSTEM_SELECTED;
    }
    SetI4(state, bits);
    return S_OK;
}

STDMETHODIMP Accessible::get_accFocus(VARIANT* focus) {
    HRESULT hr = Clear(focus);
    return FAILED(hr) ? hr : S_FALSE;
}

STDMETHODIMP Accessible::get_accSelection(VARIANT* selection) {
    if (HRESULT hr = Clear(selection); FAILED(hr)) return hr;
    std::int32_t selected = source_->AccessSelectedChild();
    if (selected < 0 || selected >= source_->AccessChildCount()) return S_FALSE;
    SetI4(selection, selected + 1);
    return S_OK;
}

STDMETHODIMP Accessible::get_accDefaultAction(VARIANT child, BSTR* action) { return Text(child, action, false); }

STDMETHODIMP Accessible::accSelect(long flags, VARIANT child) {
    long id = 0;
    if (HRESULT hr = Resolve(child, id); FAILED(hr)) return hr;
    if (id == 0) return E_INVALIDARG;
    // One child is always the selected one: taking the selection, or the focus, switches to it.
    if (!(flags & (SELFLAG_TAKESELECTION | SELFLAG_TAKEFOCUS))) return E_INVALIDARG;
    source_->AccessSelectChild(id - 1);
    return S_OK;
}

STDMETHODIMP Accessible::accDoDefaultAction(VARIANT child) {
    long id = 0;
    if (HRESULT hr = Resolve(child, id); FAILED(hr)) return hr;
    if (id > 0) {
        source_->AccessSelectChild(id - 1);
        return S_OK;
    }
    if (source_->AccessAction().empty()) return DISP_E_MEMBERNOTFOUND;
    source_->AccessDoAction();
    return S_OK;
}

STDMETHODIMP Accessible::accLocation(long* left, long* top, long* width, long* height, VARIANT child) {
    if (!left || !top || !width || !height) return E_POINTER;
    *left = *top = *width = *height = 0;
    long id = 0;
    if (HRESULT hr = Resolve(child, id); FAILED(hr)) return hr;
    HWND window = source_->AccessWindow();
    RECT r{};
    if (id == 0) ::GetClientRect(window, &r);
    else r = source_->AccessChildRect(id - 1);
    POINT corner{r.left, r.top};
    ::ClientToScreen(window, &corner);
    *left = corner.x;
    *top = corner.y;
    *width = r.right - r.left;
    *height = r.bottom - r.top;
    return S_OK;
}

STDMETHODIMP Accessible::accNavigate(long direction, VARIANT start, VARIANT* end) {
    long id = 0;
    if (HRESULT hr = Clear(end); FAILED(hr)) return hr;
    if (HRESULT hr = Resolve(start, id); FAILED(hr)) return hr;
    long count = source_->AccessChildCount(), to = 0;
    switch (direction) {
        case NAVDIR_FIRSTCHILD: to = id == 0 && count > 0 ? 1 : 0; break;
        case NAVDIR_LASTCHILD: to = id == 0 && count > 0 ? count : 0; break;
        case NAVDIR_NEXT: case NAVDIR_RIGHT: to = id > 0 && id < count ? id + 1 : 0; break;
        case NAVDIR_PREVIOUS: case NAVDIR_LEFT: to = id > 1 ? id - 1 : 0; break;
        default: break;
    }
    if (to == 0) return S_FALSE;
    SetI4(end, to);
    return S_OK;
}

STDMETHODIMP Accessible::accHitTest(long x, long y, VARIANT* child) {
    if (HRESULT hr = Clear(child); FAILED(hr)) return hr;
    HWND window = source_->AccessWindow();
    POINT at{x, y};
    ::ScreenToClient(window, &at);
    RECT client{};
    ::GetClientRect(window, &client);
    if (!::PtInRect(&client, at)) return S_FALSE;
    // Where children overlap, the selected one lies on top.
    long found = CHILDID_SELF;
    std::int32_t selected = source_->AccessSelectedChild();
    for (std::int32_t i = 0; i < source_->AccessChildCount(); ++i) {
        RECT r = source_->AccessChildRect(i);
        if (::PtInRect(&r, at) && (found == CHILDID_SELF || i == selected)) found = i + 1;
    }
    SetI4(child, found);
    return S_OK;
}

}  // namespace xcyh2::forms
