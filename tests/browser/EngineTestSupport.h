// Shared pieces of the engine tests: the demo server's address, a parent window, and a log of
// the events an engine raised.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <memory>
#include <string>
#include <vector>

#include "browser/WebBrowser.h"
#include "support/WinTest.h"

namespace xcyh2::browser::test {

// "http://127.0.0.1:PORT" of the server the runner started, or "" when there is none.
inline std::wstring DemoUrl() {
    wchar_t buffer[256] = L"";
    DWORD n = ::GetEnvironmentVariableW(L"XCYH2_DEMO_URL", buffer, 256);
    return n > 0 && n < 256 ? std::wstring(buffer, n) : std::wstring();
}

// Serves body (UTF-8 bytes) at path from now on, through the server's control endpoint.
inline bool DemoSet(const std::wstring& path, const std::string& body, const wchar_t* type = L"text/html") {
    std::wstring base = DemoUrl();
    if (base.empty()) return false;
    std::wstring host = base.substr(7);
    INTERNET_PORT port = static_cast<INTERNET_PORT>(_wtoi(host.substr(host.find(L':') + 1).c_str()));
    host = host.substr(0, host.find(L':'));
    HINTERNET session = ::InternetOpenW(L"test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    HINTERNET connection = ::InternetConnectW(session, host.c_str(), port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
    std::wstring object = L"/control/set?path=" + path + L"&type=" + type;
    HINTERNET request = ::HttpOpenRequestW(connection, L"POST", object.c_str(), nullptr, nullptr, nullptr,
                                           INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);
    BOOL ok = ::HttpSendRequestW(request, nullptr, 0, const_cast<char*>(body.data()), static_cast<DWORD>(body.size()));
    DWORD status = 0, size = sizeof(status);
    ::HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr);
    ::InternetCloseHandle(request);
    ::InternetCloseHandle(connection);
    ::InternetCloseHandle(session);
    return ok && status == 200;
}

// The server's request log (JSON), for telling whether an address was fetched.
inline std::string DemoRequests() {
    std::string log;
    HINTERNET session = ::InternetOpenW(L"test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    std::wstring url = DemoUrl() + L"/control/requests";
    HINTERNET request = ::InternetOpenUrlW(session, url.c_str(), nullptr, 0,
                                           INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);
    char buffer[8192];
    DWORD got = 0;
    while (request && ::InternetReadFile(request, buffer, sizeof(buffer), &got) && got > 0) log.append(buffer, got);
    if (request) ::InternetCloseHandle(request);
    ::InternetCloseHandle(session);
    return log;
}

// A plain top-level window to hold a browser control. It stays hidden: the engines lay out,
// fetch and take (sent) mouse messages all the same, and under Wine on a bare X server every
// window shown costs about two seconds.
class ParentWindow {
public:
    ParentWindow() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"EngineTestParent";
        ::RegisterClassW(&wc);
        hwnd_ = ::CreateWindowExW(0, L"EngineTestParent", L"engine test", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 20,
                                  20, 800, 600, nullptr, nullptr, wc.hInstance, nullptr);
    }
    ~ParentWindow() {
        if (::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
    }
    HWND get() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
};

// Every event as one line: "BN url", "DB", "DC top url" / "DC frame url", "TC text", "NW url".
struct EventLog {
    std::vector<std::wstring> lines;
    std::wstring cancelIfContains;  // BeforeNavigate2 cancels addresses containing this
    bool processNewWindow = true;
    int contextMenuCalls = 0;

    void Attach(IWebBrowser& b) {
        b.BeforeNavigate2 = [this](const std::wstring& url, bool& Cancel) {
            lines.push_back(L"BN " + url);
            if (!cancelIfContains.empty() && url.find(cancelIfContains) != std::wstring::npos) Cancel = true;
        };
        b.DownloadBegin = [this] { lines.push_back(L"DB"); };
        b.DocumentComplete = [this](const WebFrame& frame, const std::wstring& url) {
            lines.push_back((frame.isTop ? L"DC top " : L"DC frame ") + url);
        };
        b.TitleChange = [this](const std::wstring& text) { lines.push_back(L"TC " + text); };
        b.NewWindow = [this](const std::wstring& url, bool& Processed) {
            lines.push_back(L"NW " + url);
            Processed = processNewWindow;
        };
        b.Document_oncontextmenu = [this] {
            ++contextMenuCalls;
            return false;
        };
    }
    int IndexOf(const std::wstring& prefix) const {
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (lines[i].rfind(prefix, 0) == 0) return static_cast<int>(i);
        return -1;
    }
    bool Has(const std::wstring& prefix) const { return IndexOf(prefix) >= 0; }
    std::wstring Joined() const {
        std::wstring all;
        for (const auto& l : lines) all += l + L"\n";
        return all;
    }
};

}  // namespace xcyh2::browser::test
