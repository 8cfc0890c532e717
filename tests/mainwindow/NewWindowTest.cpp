// A page that floods new-window requests: each is cancelled, and only web addresses reach the
// system's browser launcher (the test prefix records what it is asked to open).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <memory>
#include <set>
#include <string>

#include "base/utf.h"
#include "login/FakeBrowser.h"
#include "mainwindow/WebUrl.h"
#include "support/WinTest.h"

namespace xcyh2 {
namespace {

// The file the prefix's browser launcher appends each opened address to (a Unix path).
std::wstring OpenedUrlsFile() {
    wchar_t unixPath[1024] = L"";
    if (!::GetEnvironmentVariableW(L"WINE_RUN_OPENED_URLS", unixPath, 1024)) return {};
    std::wstring path = L"Z:" + std::wstring(unixPath);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

std::wstring Lower(std::wstring text) {
    for (auto& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

// The addresses of this run in the file, in lower case (the launcher writes the scheme so).
std::set<std::wstring> OpenedWith(const std::wstring& file, const std::wstring& token) {
    std::set<std::wstring> found;
    std::wstring text = Utf8ToWide(test::ReadWholeFile(file));
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find(L'\n', at);
        if (end == std::wstring::npos) end = text.size();
        std::wstring line = text.substr(at, end - at);
        if (line.find(token) != std::wstring::npos) found.insert(Lower(line));
        at = end + 1;
    }
    return found;
}

TEST(WebUrl, AFloodOfNewWindowRequestsOpensOnlyWebAddresses) {
    std::wstring file = OpenedUrlsFile();
    if (file.empty()) GTEST_SKIP() << "not run through tools/wine-run";
    std::shared_ptr<test::FakeBrowser> fake;
    auto page = std::make_shared<WebUrl>([&](HWND, int, int, int, int) { return fake = std::make_shared<test::FakeBrowser>(); });
    page->OpenURL(L"http://127.0.0.1:47240/xcyh2/game1.html");
    ASSERT_TRUE(fake);

    const std::wstring token = L"flood" + std::to_wstring(::GetTickCount()) + L"-" + std::to_wstring(::GetCurrentProcessId());
    const std::wstring web[] = {L"http://127.0.0.1:47240/xcyh2/news/1.html?" + token,
                                L"https://127.0.0.1:47240/s?" + token, L"HTTP://127.0.0.1:47240/upper?" + token};
    std::set<std::wstring> expected;
    for (const std::wstring& url : web) expected.insert(Lower(url));
    const std::wstring others[] = {L"file:///C:/windows/win.ini?", L"javascript:alert('", L"app://exitgame?",
                                   L"about:blank?", L"C:\\windows\\notepad.exe ", L"\\\\server\\share\\x.exe?",
                                   L"mailto:a@b.c?", L"ftp://127.0.0.1/x?", L"vbscript:msgbox(", L"res://shell32.dll/",
                                   L"shell:startup/", L" http://127.0.0.1/space?", L"http:/127.0.0.1/slash?"};
    for (int round = 0; round < 20; ++round) {
        for (const std::wstring& other : others) EXPECT_TRUE(fake->FireNewWindow(other + token));
    }
    for (const std::wstring& url : web) EXPECT_TRUE(fake->FireNewWindow(url));

    // The launcher runs on its own: wait for the web addresses, then a little longer for
    // anything else that might follow.
    EXPECT_TRUE(test::PumpUntil([&] { return OpenedWith(file, token).size() >= expected.size(); }, 60000));
    test::PumpMessages(3000);
    EXPECT_EQ(OpenedWith(file, token), expected);
    page->Unload();
}

}  // namespace
}  // namespace xcyh2
