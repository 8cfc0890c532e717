// What screen readers are handed for a window. 64-bit Wine 8 hands out no accessible objects:
// AccessibleObjectFromWindow answers E_NOINTERFACE even for its own push button. There the tests
// read the same object the window's WM_GETOBJECT answer hands out, taken in this process, so what
// it tells screen readers is still checked; the system's transport is checked where it works.
#pragma once

#include <windows.h>
#include <oleacc.h>

namespace xcyh2::test {

inline bool SystemHandsOutAccessibleObjects() {
    HWND probe = ::CreateWindowW(L"BUTTON", L"probe", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    IAccessible* acc = nullptr;
    const HRESULT hr = ::AccessibleObjectFromWindow(probe, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&acc));
    if (acc) acc->Release();
    ::DestroyWindow(probe);
    return SUCCEEDED(hr);
}

// The window's object through the system where it hands objects out, else sameObject (the
// window's own, a new reference, which this takes over); nullptr when the system fails it.
inline IAccessible* AccessibleOf(HWND hwnd, IAccessible* sameObject) {
    if (!SystemHandsOutAccessibleObjects()) return sameObject;
    if (sameObject) sameObject->Release();
    IAccessible* acc = nullptr;
    if (FAILED(::AccessibleObjectFromWindow(hwnd, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&acc))))
        return nullptr;
    return acc;
}

}  // namespace xcyh2::test
