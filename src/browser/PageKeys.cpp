#include "browser/PageKeys.h"

#include <map>

#include "browser/ComPtr.h"
#include "forms/Application.h"

namespace xcyh2::browser {
namespace {

// User-interface thread only.
std::map<HWND, ComPtr<IOleInPlaceActiveObject>>& Kept() {
    static std::map<HWND, ComPtr<IOleInPlaceActiveObject>> kept;
    return kept;
}

}  // namespace

void SetInPlaceActiveObject(HWND host, IOleInPlaceActiveObject* object) {
    if (!host) return;
    if (!object) {
        Kept().erase(host);
        return;
    }
    ComPtr<IOleInPlaceActiveObject> held;
    object->QueryInterface(IID_IOleInPlaceActiveObject, reinterpret_cast<void**>(held.put()));
    if (held) Kept()[host] = std::move(held);
}

bool TranslatePageAccelerator(MSG& msg) {
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST || Kept().empty()) return false;
    for (HWND w = msg.hwnd; w; w = ::GetAncestor(w, GA_PARENT)) {
        auto it = Kept().find(w);
        if (it == Kept().end()) continue;
        ComPtr<IOleInPlaceActiveObject> object = it->second;  // the call may change the map
        return object && object->TranslateAccelerator(&msg) == S_OK;
    }
    return false;
}

void RouteKeysToPages() { forms::Application::SetKeyFilter(&TranslatePageAccelerator); }

void ForgetInPlaceActiveObjects() {
    // One at a time: a release may call back into this registry.
    while (!Kept().empty()) {
        ComPtr<IOleInPlaceActiveObject> object = std::move(Kept().begin()->second);
        Kept().erase(Kept().begin());
    }
}

std::size_t InPlaceActiveObjectCount() { return Kept().size(); }

}  // namespace xcyh2::browser
