// The end of the process as the shell runs it: the main window open on pages of both engines,
// one release still waiting for the message loop, then the exit command. Every browser object
// must be gone before COM shuts down. A program of its own, since it shuts COM down.
#include <gtest/gtest.h>
#include <windows.h>
#include <ole2.h>

#include "browser/ComShutdown.h"
#include "browser/DeferredRelease.h"
#include "browser/PageKeys.h"
#include "browser/WebBrowser.h"
#include "forms/Application.h"
#include "mainwindow/WebMainFrm.h"
#include "mainwindow/WebMainFrmTestView.h"

namespace xcyh2 {
namespace {

TEST(CleanExit, EveryBrowserIsReleasedBeforeComShutsDown) {
    ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr)));
    browser::RouteKeysToPages();
    WebMainFrm frm;
    WebMainFrm::TestView view{frm};
    WebMainFrm::Environment env;
    int made = 0;
    env.browserFactory = [&](HWND parent, int x, int y, int w, int h) {
        auto engine = made++ % 2 ? browser::Engine::kSystemControl : browser::Engine::kBuiltIn;
        return browser::CreateWebBrowser(parent, x, y, w, h, engine);
    };
    env.askExit = [] { return true; };
    frm.SetEnvironment(env);
    frm.SetURL(L"http://127.0.0.1:1/xcyh2/game1.html");
    frm.SetURL(L"http://127.0.0.1:1/xcyh2/game2.html");
    EXPECT_EQ(browser::IWebBrowser::LiveCount(), 3);  // the placeholder and two pages
    // An engine whose owner let go of it inside one of its own events waits for the loop.
    browser::DeferRelease(browser::CreateWebBrowser(frm.handle(), 0, 0, 10, 10, browser::Engine::kSystemControl));

    view.appmenu().Choose(L"exit");
    EXPECT_FALSE(frm.IsLoaded());
    EXPECT_EQ(forms::Application::LoadedCount(), 0);  // the message loop would end here

    browser::ReleaseBeforeComShutdown();
    EXPECT_EQ(browser::IWebBrowser::LiveCount(), 0);
    EXPECT_EQ(browser::DeferredCount(), 0u);
    EXPECT_EQ(browser::InPlaceActiveObjectCount(), 0u);
    frm.SetEnvironment({});
    ::OleUninitialize();
}

}  // namespace
}  // namespace xcyh2
