// The demo publisher server that tests/update/with-demo-server started for this test run.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <wininet.h>

#include <string>

namespace xcyh2::test {

// "http://127.0.0.1:PORT" followed by path, or empty when no server was started.
inline std::wstring DemoServerUrl(const std::wstring& path) {
    wchar_t host[64] = {};
    DWORD n = ::GetEnvironmentVariableW(L"XCYH2_TEST_SERVER", host, 64);
    if (n == 0 || n >= 64) return {};
    return L"http://" + std::wstring(host, n) + path;
}

// Asks the server's control endpoints (verb "POST" with body, or "GET"; object "/control/...").
// True when it answered 200; its body goes to *answer.
inline bool DemoControl(const wchar_t* verb, const std::wstring& object, const std::string& body = {},
                        std::string* answer = nullptr) {
    std::wstring host = DemoServerUrl(L"").substr(7);  // "127.0.0.1:PORT"
    std::size_t colon = host.find(L':');
    if (colon == std::wstring::npos) return false;
    auto port = static_cast<INTERNET_PORT>(_wtoi(host.c_str() + colon + 1));
    host.resize(colon);
    HINTERNET session = ::InternetOpenW(L"test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    HINTERNET connection = ::InternetConnectW(session, host.c_str(), port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
    HINTERNET request = ::HttpOpenRequestW(connection, verb, object.c_str(), nullptr, nullptr, nullptr,
                                           INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);
    BOOL sent = ::HttpSendRequestW(request, nullptr, 0, const_cast<char*>(body.data()), static_cast<DWORD>(body.size()));
    DWORD status = 0, size = sizeof(status);
    ::HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr);
    char buffer[8192];
    DWORD got = 0;
    while (answer && sent && ::InternetReadFile(request, buffer, sizeof(buffer), &got) && got > 0)
        answer->append(buffer, got);
    ::InternetCloseHandle(request);
    ::InternetCloseHandle(connection);
    ::InternetCloseHandle(session);
    return sent && status == 200;
}

// Fails the test when it runs without the server: a test that cannot run proves nothing.
#define XCYH2_REQUIRE_DEMO_SERVER()                                                        \
    if (::xcyh2::test::DemoServerUrl(L"/").empty())                                        \
        GTEST_FAIL() << "XCYH2_TEST_SERVER is not set (run through ctest in the cross build)"

}  // namespace xcyh2::test
