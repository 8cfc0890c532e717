#include "forms/Application.h"

#include <cstring>
#include <vector>

namespace xcyh2::forms {
namespace {
int g_loadedForms = 0;  // the runtime's count of loaded windows
Application::KeyFilter g_keyFilter;

// Offers a key or wheel message to the filter; true when it took the message.
bool Filtered(MSG& msg) {
    bool key = msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST;
    if ((!key && msg.message != WM_MOUSEWHEEL) || !g_keyFilter) return false;
    auto filter = g_keyFilter;
    return filter(msg);
}
}  // namespace

void Application::FormLoaded() { ++g_loadedForms; }

void Application::FormUnloaded() {
    // The loop ends once the message that took the count to zero has been handled, not at
    // once: a handler may unload the last window and load the next one (the login page's
    // start command unloads the login windows, then opens the main window).
    if (g_loadedForms > 0) --g_loadedForms;
}

int Application::LoadedCount() { return g_loadedForms; }

int Application::Run() {
    if (g_loadedForms == 0) return 0;
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (Filtered(msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
        if (g_loadedForms == 0) return 0;
    }
    return static_cast<int>(msg.wParam);
}

void Application::DoEvents() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Keep the quit for the main loop.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (Filtered(msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

int Application::DoEventsWhileWaiting(std::span<const HANDLE> handles, DWORD ms, const std::function<bool()>& stop) {
    const DWORD start = ::GetTickCount();
    const auto count = static_cast<DWORD>(handles.size());
    for (;;) {
        DoEvents();
        if (stop && stop()) return kStopped;
        DWORD left = INFINITE;
        if (ms != INFINITE) {
            DWORD elapsed = ::GetTickCount() - start;
            if (elapsed >= ms) return kTimedOut;
            left = ms - elapsed;
        }
        // Wakes for messages that arrive from now on: DoEvents has taken every earlier one.
        DWORD woke = ::MsgWaitForMultipleObjects(count, handles.data(), FALSE, left, QS_ALLINPUT);
        if (woke < WAIT_OBJECT_0 + count) return static_cast<int>(woke - WAIT_OBJECT_0);
        if (woke == WAIT_FAILED) return kTimedOut;
    }
}

void Application::EndAtOnce(UINT exitCode) { ::ExitProcess(exitCode); }

void Application::SetKeyFilter(KeyFilter filter) { g_keyFilter = std::move(filter); }

ProgramVersion Application::Version() {
    ProgramVersion version;
    HMODULE self = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceW(self, MAKEINTRESOURCEW(VS_VERSION_INFO), MAKEINTRESOURCEW(16));  // RT_VERSION
    HGLOBAL loaded = found ? ::LoadResource(self, found) : nullptr;
    const auto* bytes = static_cast<const unsigned char*>(loaded ? ::LockResource(loaded) : nullptr);
    DWORD size = found ? ::SizeofResource(self, found) : 0;
    if (!bytes) return version;
    // The fixed part of the record starts with its signature, 32-bit aligned after the key.
    for (DWORD at = 0; at + sizeof(VS_FIXEDFILEINFO) <= size; at += 4) {
        VS_FIXEDFILEINFO info;
        std::memcpy(&info, bytes + at, sizeof(info));
        if (info.dwSignature != 0xFEEF04BD) continue;
        version.major = HIWORD(info.dwFileVersionMS);
        version.minor = LOWORD(info.dwFileVersionMS);
        // FILEVERSION is major, minor, revision, build.
        version.revision = HIWORD(info.dwFileVersionLS);
        break;
    }
    return version;
}

std::wstring Application::ProgramPath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) return std::wstring(buffer.data(), n);
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace xcyh2::forms
