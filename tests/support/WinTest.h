// Small helpers for the Windows tests that run under Wine.
#pragma once

#include <windows.h>

#include <string>

namespace xcyh2::test {

// Lets window messages through for about the given time.
inline void PumpMessages(DWORD milliseconds = 50) {
    DWORD start = ::GetTickCount();
    do {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(5);
    } while (::GetTickCount() - start < milliseconds);
}

// Pumps messages until the condition holds or the time is up; returns the condition.
template <typename Condition>
bool PumpUntil(Condition condition, DWORD milliseconds = 5000) {
    DWORD start = ::GetTickCount();
    while (!condition()) {
        if (::GetTickCount() - start >= milliseconds) return condition();
        PumpMessages(10);
    }
    return true;
}

inline std::string ReadWholeFile(const std::wstring& path) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string data;
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0) data.append(buffer, got);
    ::CloseHandle(file);
    return data;
}

inline bool WriteWholeFile(const std::wstring& path, const std::string& data) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = ::WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok && written == data.size();
}

}  // namespace xcyh2::test
