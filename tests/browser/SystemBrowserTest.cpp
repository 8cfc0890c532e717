// The system web-browser control, hosted through COM. Under Wine without its Gecko package the
// control hosts and raises BeforeNavigate2 but renders nothing; that much is tested here.
#include <gtest/gtest.h>
#include <ole2.h>

#include "browser/SystemBrowser.h"
#include "browser/WebBrowser.h"
#include "browser/EngineTestSupport.h"
#include "tabstrip/EventLogWatch.h"

#include <stdexcept>
#include <vector>

namespace xcyh2::browser {
namespace {

using test::EventLog;
using test::ParentWindow;

class SystemBrowserTest : public ::testing::Test {
protected:
    void SetUp() override { ::OleInitialize(nullptr); }
    void TearDown() override { ::OleUninitialize(); }
};

TEST_F(SystemBrowserTest, HostsNavigatesAndCancels) {
    ParentWindow parent;
    std::shared_ptr<IWebBrowser> browser = CreateSystemBrowser(parent.get(), 10, 10, 600, 400);
    ASSERT_TRUE(browser) << "the system control could not be hosted";
    ASSERT_TRUE(::IsWindow(browser->hWnd()));
    EXPECT_EQ(::GetParent(browser->hWnd()), parent.get());

    browser->SetSilent(true);
    EXPECT_TRUE(browser->Silent());
    browser->SetSilent(false);
    EXPECT_FALSE(browser->Silent());

    EventLog log;
    log.Attach(*browser);
    // Query strings of their own: other tests fetch these pages from the same server.
    std::wstring page = test::DemoUrl() + L"/xcyh2/login/help.html?system-go";
    browser->Navigate(page);
    EXPECT_TRUE(xcyh2::test::PumpUntil([&] { return log.Has(L"BN "); }, 5000));
    EXPECT_EQ(log.lines.at(0), L"BN " + page);

    // Not cancelled: the control fetches the page (without Gecko it then renders nothing).
    EXPECT_TRUE(xcyh2::test::PumpUntil(
        [&] { return test::DemoRequests().find("system-go") != std::string::npos; }, 5000));

    // Cancelled: the control goes no further, nothing is fetched.
    EventLog cancelling;
    cancelling.cancelIfContains = L"news.html";
    cancelling.Attach(*browser);
    std::wstring cancelled = test::DemoUrl() + L"/xcyh2/login/news.html?system-cancel";
    browser->Navigate(cancelled);
    EXPECT_TRUE(xcyh2::test::PumpUntil([&] { return cancelling.Has(L"BN " + cancelled); }, 5000));
    // A page asked for after it is fetched: by then the cancelled one would have been too.
    const std::wstring after = test::DemoUrl() + L"/xcyh2/login/help.html?system-after";
    cancelling.cancelIfContains = L"news.html?system-cancel";
    browser->Navigate(after);
    EXPECT_TRUE(xcyh2::test::PumpUntil(
        [&] { return test::DemoRequests().find("system-after") != std::string::npos; }, 5000));
    EXPECT_EQ(test::DemoRequests().find("system-cancel"), std::string::npos);
    ASSERT_GE(cancelling.lines.size(), 2u);
    EXPECT_EQ(cancelling.lines[1], L"BN " + after) << cancelling.Joined();  // no event of the cancelled page
}

TEST_F(SystemBrowserTest, WineWithoutGeckoGetsTheBuiltInEngine) {
    // These machines' Wine has no Gecko package (a prefix still has an empty gecko\plugin).
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    if (!::GetProcAddress(ntdll, "wine_get_version")) GTEST_SKIP() << "not under Wine";
    EXPECT_EQ(AutomaticEngine(), Engine::kBuiltIn);
}

// An exception from the host's handler stops at the control's event call: reported, and the
// control goes on raising events.
TEST_F(SystemBrowserTest, AThrowingHandlerIsReportedAndTheControlGoesOn) {
    ParentWindow parent;
    std::shared_ptr<IWebBrowser> browser = CreateSystemBrowser(parent.get(), 0, 0, 300, 200);
    ASSERT_TRUE(browser);
    xcyh2::test::EventLogWatch watch;
    browser->BeforeNavigate2 = [](const std::wstring&, bool& Cancel) {
        Cancel = true;
        throw std::runtime_error("navigation failed");
    };
    browser->Navigate(L"app://minimize");
    const auto& lines = xcyh2::test::EventLogWatch::Lines();
    EXPECT_TRUE(xcyh2::test::PumpUntil([&] { return !lines.empty(); }, 5000));
    EXPECT_EQ(lines, std::vector<std::wstring>{L"SystemBrowser.Event: navigation failed"});
    EventLog log;
    log.cancelIfContains = L"app://";
    log.Attach(*browser);
    browser->Navigate(L"app://exitgame");
    EXPECT_TRUE(xcyh2::test::PumpUntil([&] { return log.Has(L"BN app://exitgame"); }, 5000)) << log.Joined();
}

TEST_F(SystemBrowserTest, ReleasedFromInsideItsOwnEvent) {
    ParentWindow parent;
    std::shared_ptr<IWebBrowser> browser = CreateSystemBrowser(parent.get(), 0, 0, 300, 200);
    ASSERT_TRUE(browser);
    bool called = false;
    browser->BeforeNavigate2 = [&](const std::wstring&, bool& Cancel) {
        called = true;
        Cancel = true;
        browser.reset();  // as the login window does when a command unloads it
    };
    browser->Navigate(L"app://exitgame");
    EXPECT_TRUE(xcyh2::test::PumpUntil([&] { return called; }, 5000));
    xcyh2::test::PumpMessages(200);
    EXPECT_FALSE(browser);
}

}  // namespace
}  // namespace xcyh2::browser
