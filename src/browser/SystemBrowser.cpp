#include "browser/SystemBrowser.h"

#include <windows.h>
#include <exdisp.h>
#include <exdispid.h>
#include <mshtml.h>
#include <mshtmhst.h>
#include <ole2.h>
#include <oleauto.h>

#include "base/EventLog.h"
#include "base/SystemLibraries.h"
#include "browser/ComPtr.h"
#include "browser/ComShutdown.h"
#include "browser/DeferredRelease.h"
#include "browser/PageKeys.h"
#include "forms/PictureBox.h"

namespace xcyh2::browser {
namespace {

class SystemBrowser;

std::wstring FromBstr(BSTR text) {
    return text ? std::wstring(text, sys::oleaut32().SysStringLen.call_or(0u, text)) : std::wstring();
}

// A string held in a VARIANT, directly or by reference (the events pass VARIANT* arguments).
std::wstring VariantText(const VARIANT& v) {
    const VARIANT* p = &v;
    if (p->vt == (VT_BYREF | VT_VARIANT) && p->pvarVal) p = p->pvarVal;
    if (p->vt == VT_BSTR) return FromBstr(p->bstrVal);
    if (p->vt == (VT_BYREF | VT_BSTR) && p->pbstrVal) return FromBstr(*p->pbstrVal);
    return {};
}

// The in-place site: client site, in-place site, frame and document host in one object. The
// control asks it for its window and its rectangle, and the document for the host's flags;
// everything else is declined or accepted without action, so the control does as it would alone.
class Site final : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame, public IDocHostUIHandler {
public:
    explicit Site(HWND host) : host_(host) {}
    void Detach() { host_ = nullptr; }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (riid == IID_IUnknown || riid == IID_IOleClientSite) *ppv = static_cast<IOleClientSite*>(this);
        else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite) *ppv = static_cast<IOleInPlaceSite*>(this);
        else if (riid == IID_IOleInPlaceUIWindow || riid == IID_IOleInPlaceFrame)
            *ppv = static_cast<IOleInPlaceFrame*>(this);
        else if (riid == IID_IDocHostUIHandler) *ppv = static_cast<IDocHostUIHandler*>(this);
        else return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ::InterlockedIncrement(&refs_); }
    STDMETHODIMP_(ULONG) Release() override {
        LONG n = ::InterlockedDecrement(&refs_);
        if (n == 0) delete this;
        return n;
    }

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP GetContainer(IOleContainer** c) override {
        if (c) *c = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow (shared by the in-place site and the frame)
    STDMETHODIMP GetWindow(HWND* phwnd) override {
        if (!phwnd) return E_POINTER;
        *phwnd = host_;
        return host_ ? S_OK : E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return host_ ? S_OK : S_FALSE; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos, LPRECT clip,
                                  LPOLEINPLACEFRAMEINFO info) override {
        if (frame) {
            *frame = this;
            AddRef();
        }
        if (doc) *doc = nullptr;
        RECT r{};
        if (host_) ::GetClientRect(host_, &r);
        if (pos) *pos = r;
        if (clip) *clip = r;
        if (info) {
            info->fMDIApp = FALSE;
            info->hwndFrame = host_ ? ::GetAncestor(host_, GA_ROOT) : nullptr;
            info->haccel = nullptr;
            info->cAccelEntries = 0;
        }
        return S_OK;
    }
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceUIWindow / IOleInPlaceFrame
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    // The control's active object, which must see key messages before they are translated.
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) override {
        if (host_ && object) SetInPlaceActiveObject(host_, object);
        return S_OK;
    }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return S_OK; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // IDocHostUIHandler. The page is drawn at the zoom the shell sets (SetZoom), which already
    // holds the window's scale: the document must not scale for the screen's DPI on its own.
    STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override {
        if (!info) return E_POINTER;
        info->dwFlags = DOCHOSTUIFLAG_DPI_AWARE;
        info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
        info->pchHostCss = nullptr;
        info->pchHostNS = nullptr;
        return S_OK;
    }
    STDMETHODIMP ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override { return S_FALSE; }
    STDMETHODIMP ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                        IOleInPlaceUIWindow*) override {
        return S_FALSE;
    }
    STDMETHODIMP HideUI() override { return S_OK; }
    STDMETHODIMP UpdateUI() override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return S_FALSE; }
    STDMETHODIMP GetOptionKeyPath(LPOLESTR* key, DWORD) override {
        if (key) *key = nullptr;
        return S_FALSE;
    }
    STDMETHODIMP GetDropTarget(IDropTarget*, IDropTarget** target) override {
        if (target) *target = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetExternal(IDispatch** external) override {
        if (external) *external = nullptr;
        return S_FALSE;
    }
    STDMETHODIMP TranslateUrl(DWORD, LPWSTR, LPWSTR* out) override {
        if (out) *out = nullptr;
        return S_FALSE;
    }
    STDMETHODIMP FilterDataObject(IDataObject*, IDataObject** out) override {
        if (out) *out = nullptr;
        return S_FALSE;
    }

private:
    LONG refs_ = 1;
    HWND host_;
};

// A minimal IDispatch whose default member (DISPID_VALUE) calls a function; used for the
// browser's event interface and for the document's oncontextmenu handler.
class DispatchBase : public IDispatch {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == extraIid_) {
            *ppv = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ::InterlockedIncrement(&refs_); }
    STDMETHODIMP_(ULONG) Release() override {
        LONG n = ::InterlockedDecrement(&refs_);
        if (n == 0) delete this;
        return n;
    }
    STDMETHODIMP GetTypeInfoCount(UINT* n) override {
        if (n) *n = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }

protected:
    explicit DispatchBase(REFIID extraIid) : extraIid_(extraIid) {}
    virtual ~DispatchBase() = default;

private:
    LONG refs_ = 1;
    IID extraIid_;
};

class SystemBrowser final : public IWebBrowser, public std::enable_shared_from_this<SystemBrowser> {
public:
    ~SystemBrowser() override { TearDown(); }

    bool Create(HWND parent, int x, int y, int width, int height);

    HWND hWnd() const override { return host_.handle(); }
    void Move(int x, int y, int width, int height) override {
        host_.Move(x, y, width, height);
    }
    void Navigate(const std::wstring& url) override {
        if (!browser_) return;
        BSTR address = sys::oleaut32().SysAllocStringLen.call_or(nullptr, url.data(), static_cast<UINT>(url.size()));
        VARIANT empty;
        sys::oleaut32().VariantInit.call(&empty);
        browser_->Navigate(address, &empty, &empty, &empty, &empty);
        sys::oleaut32().SysFreeString.call(address);
    }
    void Refresh() override {
        if (browser_) browser_->Refresh();
    }
    void SetSilent(bool silent) override {
        if (browser_) browser_->put_Silent(silent ? VARIANT_TRUE : VARIANT_FALSE);
    }
    bool Silent() const override {
        VARIANT_BOOL silent = VARIANT_FALSE;
        if (browser_) browser_->get_Silent(&silent);
        return silent != VARIANT_FALSE;
    }
    bool HasDocument() const override { return static_cast<bool>(Document()); }
    std::wstring DocumentRootInnerHtml() const override {
        ComPtr<IHTMLElement> root = RootElement();
        BSTR html = nullptr;
        if (!root || FAILED(root->get_innerHTML(&html))) return {};
        std::wstring text = FromBstr(html);
        sys::oleaut32().SysFreeString.call(html);
        return text;
    }
    std::wstring DocumentUrl() const override {
        ComPtr<IHTMLDocument2> doc = Document();
        BSTR url = nullptr;
        if (!doc || FAILED(doc->get_URL(&url))) return {};
        std::wstring text = FromBstr(url);
        sys::oleaut32().SysFreeString.call(url);
        return text;
    }
    void SetRootOverflow(const std::wstring& value) override {
        // A document without a root element or a style (not HTML) is left alone.
        ComPtr<IHTMLElement> root = RootElement();
        ComPtr<IHTMLStyle> style;
        if (!root || FAILED(root->get_style(style.put())) || !style) return;
        BSTR text = sys::oleaut32().SysAllocStringLen.call_or(nullptr, value.data(), static_cast<UINT>(value.size()));
        style->put_overflow(text);
        sys::oleaut32().SysFreeString.call(text);
    }
    void SetZoom(int percent) override {
        zoom_ = percent;
        ApplyZoom();
    }

    // From the event sink.
    void OnEvent(DISPID id, DISPPARAMS* params);
    bool OnContextMenu() { return Document_oncontextmenu ? Document_oncontextmenu() : true; }

private:
    ComPtr<IHTMLDocument2> Document() const {
        ComPtr<IDispatch> disp;
        if (!browser_ || FAILED(browser_->get_Document(disp.put())) || !disp) return {};
        return disp.query<IHTMLDocument2>(IID_IHTMLDocument2);
    }
    ComPtr<IHTMLElement> RootElement() const {
        ComPtr<IHTMLDocument2> doc = Document();
        if (!doc) return {};
        ComPtr<IHTMLDocument3> doc3 = doc.query<IHTMLDocument3>(IID_IHTMLDocument3);
        ComPtr<IHTMLElement> root;
        if (!doc3 || FAILED(doc3->get_documentElement(root.put()))) return {};
        return root;
    }
    void HookContextMenu();
    void ApplyZoom();
    WebFrame FrameOf(IDispatch* frameBrowser) const;
    void TearDown();

    forms::PictureBox host_;  // the window the control is activated in
    HWND hostHandle_ = nullptr;
    ComPtr<IOleObject> ole_;
    ComPtr<IWebBrowser2> browser_;
    ComPtr<IConnectionPoint> eventsPoint_;
    DWORD eventsCookie_ = 0;
    Site* site_ = nullptr;
    IDispatch* sink_ = nullptr;
    int frameCount_ = 0;  // frames completed since the last top-level navigation began
    int zoom_ = 0;        // per cent; 0: never set, the control's own
};

// DWebBrowserEvents2: forwards the events the interface has to the browser object, which it
// keeps alive for the length of the call.
class EventSink final : public DispatchBase {
public:
    explicit EventSink(std::weak_ptr<SystemBrowser> owner) : DispatchBase(DIID_DWebBrowserEvents2), owner_(owner) {}
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override {
        std::shared_ptr<SystemBrowser> self = owner_.lock();
        if (!self || !params) return S_OK;
        HRESULT result = S_OK;
        try {
            self->OnEvent(id, params);
        } catch (...) {
            // Nothing may cross back into the control.
            ReportCurrentException(L"SystemBrowser.Event");
            result = E_FAIL;
        }
        // Released by its owner inside the handler: let the control finish first.
        if (self.use_count() == 1) DeferRelease(std::move(self));
        return result;
    }

private:
    std::weak_ptr<SystemBrowser> owner_;
};

// The document's oncontextmenu handler: its result is the handler's return value.
class ContextMenuHandler final : public DispatchBase {
public:
    explicit ContextMenuHandler(std::weak_ptr<SystemBrowser> owner) : DispatchBase(IID_IDispatch), owner_(owner) {}
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) override {
        if (id != DISPID_VALUE) return DISP_E_MEMBERNOTFOUND;
        bool show = true;
        if (std::shared_ptr<SystemBrowser> self = owner_.lock()) {
            try {
                show = self->OnContextMenu();
            } catch (...) {
                ReportCurrentException(L"SystemBrowser.oncontextmenu");
            }
            if (self.use_count() == 1) DeferRelease(std::move(self));
        }
        if (result) {
            sys::oleaut32().VariantInit.call(result);
            result->vt = VT_BOOL;
            result->boolVal = show ? VARIANT_TRUE : VARIANT_FALSE;
        }
        return S_OK;
    }

private:
    std::weak_ptr<SystemBrowser> owner_;
};

bool SystemBrowser::Create(HWND parent, int x, int y, int width, int height) {
    if (!host_.Create(parent, x, y, width, height)) return false;
    hostHandle_ = host_.handle();
    if (FAILED(::CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                  reinterpret_cast<void**>(ole_.put()))) ||
        !ole_) {
        return false;
    }
    site_ = new Site(host_.handle());
    ole_->SetClientSite(site_);
    ::OleSetContainedObject(ole_.get(), TRUE);
    RECT r{0, 0, width, height};
    if (FAILED(ole_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_, 0, host_.handle(), &r))) return false;
    browser_ = ole_.query<IWebBrowser2>(IID_IWebBrowser2);
    if (!browser_) return false;
    // Until the control makes itself active (a click into the page), keys go to the object.
    if (auto active = ole_.query<IOleInPlaceActiveObject>(IID_IOleInPlaceActiveObject))
        SetInPlaceActiveObject(hostHandle_, active.get());

    sink_ = new EventSink(weak_from_this());
    if (auto points = ole_.query<IConnectionPointContainer>(IID_IConnectionPointContainer)) {
        if (SUCCEEDED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, eventsPoint_.put())) && eventsPoint_) {
            if (FAILED(eventsPoint_->Advise(sink_, &eventsCookie_))) eventsCookie_ = 0;
        }
    }
    host_.Resize = [this] {
        RECT rc;
        ::GetClientRect(host_.hWnd(), &rc);
        if (auto inplace = ole_.query<IOleInPlaceObject>(IID_IOleInPlaceObject)) inplace->SetObjectRects(&rc, &rc);
    };
    return true;
}

void SystemBrowser::TearDown() {
    host_.Resize = nullptr;
    // By its handle at creation: the host window may already have gone with its parent.
    SetInPlaceActiveObject(hostHandle_, nullptr);
    if (ComShutDown()) {
        // Too late to talk to COM: let go of everything without a call.
        eventsPoint_.detach();
        browser_.detach();
        ole_.detach();
        sink_ = nullptr;
        site_ = nullptr;
        return;
    }
    if (eventsPoint_ && eventsCookie_) eventsPoint_->Unadvise(eventsCookie_);
    eventsCookie_ = 0;
    eventsPoint_.reset();
    browser_.reset();
    if (ole_) {
        ole_->Close(OLECLOSE_NOSAVE);
        ole_->SetClientSite(nullptr);
        ole_.reset();
    }
    if (sink_) sink_->Release();
    sink_ = nullptr;
    if (site_) {
        site_->Detach();
        site_->Release();
        site_ = nullptr;
    }
}

WebFrame SystemBrowser::FrameOf(IDispatch* frameBrowser) const {
    WebFrame frame;
    if (!frameBrowser || !browser_) return frame;
    // COM identity: the same object answers IUnknown with the same pointer.
    ComPtr<IUnknown> a, b;
    frameBrowser->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(a.put()));
    browser_->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(b.put()));
    frame.isTop = a.get() == b.get();
    return frame;
}

void SystemBrowser::HookContextMenu() {
    ComPtr<IHTMLDocument2> doc2 = Document();
    ComPtr<IHTMLDocument3> doc = doc2.query<IHTMLDocument3>(IID_IHTMLDocument3);
    if (!doc) return;
    VARIANT handler;
    sys::oleaut32().VariantInit.call(&handler);
    handler.vt = VT_DISPATCH;
    handler.pdispVal = new ContextMenuHandler(weak_from_this());
    doc->put_oncontextmenu(handler);
    sys::oleaut32().VariantClear.call_or(E_FAIL, &handler);
}

void SystemBrowser::ApplyZoom() {
    // Each document starts at the control's own zoom: this runs again at every top-level
    // completion, and a zoom set before the first one waits for it.
    if (zoom_ <= 0 || !browser_ || !Document()) return;
    VARIANT percent;
    sys::oleaut32().VariantInit.call(&percent);
    percent.vt = VT_I4;
    percent.lVal = zoom_;
    browser_->ExecWB(OLECMDID_OPTICAL_ZOOM, OLECMDEXECOPT_DONTPROMPTUSER, &percent, nullptr);
}

void SystemBrowser::OnEvent(DISPID id, DISPPARAMS* params) {
    // Arguments arrive in reverse order: rgvarg[0] is the last one.
    VARIANTARG* args = params->rgvarg;
    UINT n = params->cArgs;
    switch (id) {
        case DISPID_DOWNLOADBEGIN:
            if (DownloadBegin) DownloadBegin();
            break;
        case DISPID_BEFORENAVIGATE2:
            if (n == 7 && BeforeNavigate2) {
                bool cancel = false;
                BeforeNavigate2(VariantText(args[5]), cancel);
                if (args[0].vt == (VT_BYREF | VT_BOOL) && args[0].pboolVal) {
                    *args[0].pboolVal = cancel ? VARIANT_TRUE : VARIANT_FALSE;
                }
            }
            break;
        case DISPID_NAVIGATECOMPLETE2:
            if (n == 2 && args[1].vt == VT_DISPATCH && FrameOf(args[1].pdispVal).isTop) frameCount_ = 0;
            break;
        case DISPID_DOCUMENTCOMPLETE:
            if (n == 2) {
                WebFrame frame = FrameOf(args[1].vt == VT_DISPATCH ? args[1].pdispVal : nullptr);
                if (!frame.isTop) frame.index = frameCount_++;
                // The document object is new with every page: its handler goes on again.
                if (frame.isTop) {
                    HookContextMenu();
                    ApplyZoom();
                }
                if (DocumentComplete) DocumentComplete(frame, VariantText(args[0]));
            }
            break;
        case DISPID_TITLECHANGE:
            if (n == 1 && TitleChange) TitleChange(VariantText(args[0]));
            break;
        case DISPID_NEWWINDOW3:
            // (ppDisp, Cancel, dwFlags, bstrUrlContext, bstrUrl)
            if (n == 5 && NewWindow) {
                bool processed = false;
                NewWindow(VariantText(args[0]), processed);
                if (processed && args[3].vt == (VT_BYREF | VT_BOOL) && args[3].pboolVal) {
                    *args[3].pboolVal = VARIANT_TRUE;
                }
            }
            break;
        default:
            break;
    }
}

}  // namespace

std::shared_ptr<IWebBrowser> CreateSystemBrowser(HWND parent, int x, int y, int width, int height) {
    auto browser = std::make_shared<SystemBrowser>();
    if (!browser->Create(parent, x, y, width, height)) return nullptr;
    return browser;
}

}  // namespace xcyh2::browser
