// Whether this system hands out accessible objects at all. 64-bit Wine 8 cannot marshal
// IAccessible: AccessibleObjectFromWindow answers E_NOINTERFACE even for its own push button, so
// tests that read what screen readers see have nothing to read there and say so.
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

inline constexpr char kNoAccessibleObjects[] =
    "this system hands out no accessible objects, not even for its own push button (64-bit Wine 8)";

}  // namespace xcyh2::test
