#include <windows.h>

#include <initializer_list>
#include <string>

#include "base/win_handles.h"
#include "browser/BuiltInBrowser.h"
#include "browser/SystemBrowser.h"
#include "browser/WebBrowser.h"

namespace xcyh2::browser {
namespace {

// Wine's ntdll exports wine_get_version; Windows' does not.
bool RunningUnderWine() {
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// True when folder has an entry other than those named in ignored (and "." and "..").
bool FolderHasEntries(const std::wstring& folder, std::initializer_list<const wchar_t*> ignored) {
    WIN32_FIND_DATAW found;
    unique_hfind search(::FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (!search) return false;
    bool any = false;
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        bool skip = false;
        for (const wchar_t* ignore : ignored) skip = skip || ::lstrcmpiW(name.c_str(), ignore) == 0;
        any = !skip;
    } while (!any && ::FindNextFileW(search.get(), &found));
    return any;
}

// Wine's HTML engine is its Gecko package: unpacked into the prefix as gecko\<version> (a
// prefix without it still has gecko\plugin), or shared on the host.
bool WineHasGecko() {
    wchar_t windows[MAX_PATH] = L"";
    ::GetWindowsDirectoryW(windows, MAX_PATH);
    std::wstring dir = windows;
    for (const wchar_t* sub : {L"\\system32\\gecko", L"\\syswow64\\gecko"}) {
        if (FolderHasEntries(dir + sub, {L"plugin"})) return true;
    }
    for (const wchar_t* shared : {L"Z:\\usr\\share\\wine\\gecko", L"Z:\\opt\\wine\\gecko"}) {
        if (FolderHasEntries(shared, {})) return true;
    }
    return false;
}

}  // namespace

// The system control wherever it can render: always on Windows, and under Wine when Wine's
// Gecko package is present. Under Wine without Gecko the control hosts and raises
// BeforeNavigate2 but never completes a document, so the built-in engine is used there.
Engine AutomaticEngine() {
    if (RunningUnderWine() && !WineHasGecko()) return Engine::kBuiltIn;
    return Engine::kSystemControl;
}

std::shared_ptr<IWebBrowser> CreateWebBrowser(HWND parent, int x, int y, int width, int height, Engine engine) {
    if (engine == Engine::kAutomatic) engine = AutomaticEngine();
    if (engine == Engine::kSystemControl) {
        if (auto browser = CreateSystemBrowser(parent, x, y, width, height)) return browser;
        // No usable system control: the built-in engine still shows the page.
    }
    return CreateBuiltInBrowser(parent, x, y, width, height);
}

}  // namespace xcyh2::browser
