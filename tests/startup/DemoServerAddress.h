// The demo publisher server that tests/startup/with-demo-server started for this test run.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace xcyh2::test {

// "http://127.0.0.1:PORT" followed by path, or empty when no server was started.
inline std::wstring DemoServerUrl(const std::wstring& path) {
    wchar_t host[64] = {};
    DWORD n = ::GetEnvironmentVariableW(L"XCYH2_TEST_SERVER", host, 64);
    if (n == 0 || n >= 64) return {};
    return L"http://" + std::wstring(host, n) + path;
}

// Fails the test when it runs without the server: a test that cannot run proves nothing.
#define XCYH2_REQUIRE_DEMO_SERVER()                                                        \
    if (::xcyh2::test::DemoServerUrl(L"/").empty())                                        \
        GTEST_FAIL() << "XCYH2_TEST_SERVER is not set (run through ctest in the cross build)"

}  // namespace xcyh2::test
