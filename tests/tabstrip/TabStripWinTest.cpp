// The tab strip with real windows under Wine: forms attached to the container, painting checked
// by pixels of the composite surface, mouse sequences sent as messages, and GDI objects counted
// over many cycles.
#include <gtest/gtest.h>
#include <windows.h>
#include <oleacc.h>

#include <cstring>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "base/classic_error.h"
#include "forms/Form.h"
#include "forms/PictureBox.h"
#include "support/Accessibility.h"
#include "support/HostForm.h"
#include "support/WinTest.h"
#include "tabstrip/EventLogWatch.h"
#include "tabstrip/GdiObjectWatch.h"
#include "tabstrip/mdlTabAPI.h"
#include "tabstrip/uTab.h"

namespace xcyh2 {
namespace {

class PageForm : public forms::Form, public ITabForm {
public:
    TabWnd hWnd() override { return Form::hWnd(); }
    void Initialize(IuTab*, const std::shared_ptr<CTabItem>& item) override { this->item = item; }
    void RefreshPage() override { ++refreshed; }
    std::weak_ptr<CTabItem> item;
    int refreshed = 0;

protected:
    forms::WindowDesign Design() const override {
        forms::WindowDesign w;
        w.className = L"TabTestPage";
        w.width = 300;
        w.height = 200;
        return w;
    }
};

// The skin bitmap, to compare painted pixels with the pieces they come from.
class Skin {
public:
    explicit Skin(int id)
        : bitmap_(static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP,
                                                    0, 0, LR_CREATEDIBSECTION))),
          dc_(::CreateCompatibleDC(nullptr)) {
        old_ = ::SelectObject(dc_, bitmap_);
    }
    ~Skin() {
        ::SelectObject(dc_, old_);
        ::DeleteDC(dc_);
        ::DeleteObject(bitmap_);
    }
    COLORREF At(int x, int y) const { return ::GetPixel(dc_, x, y); }

private:
    HBITMAP bitmap_;
    HDC dc_;
    HGDIOBJ old_;
};

bool Visible(HWND window) { return ::GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE; }

constexpr COLORREF kMagenta = RGB(255, 0, 255);

class TabStrip : public ::testing::Test {
protected:
    // The host stays hidden: showing a window under Wine without a window manager waits for it.
    void SetUp() override { host.Load(); }
    void TearDown() override {
        strip.reset();
        pages.clear();
        container.reset();
        host.Unload();
    }

    // A strip of the given style across the host, above an 800 x 300 container.
    void Make(int style, int leftSize, int rightSize = 0, bool unlock = true) {
        container = std::make_unique<forms::PictureBox>();
        container->Create(host.handle(), 0, 100, 800, 300);
        strip = std::make_unique<uTab>();
        strip->Create(host.handle(), 0, 0, 700,
                      {{L"TabStyle", style}, {L"TabLeftSize", leftSize}, {L"TabRightSize", rightSize}});
        strip->SethContainerWnd(container->hWnd());
        if (unlock) strip->LockReDraw(false);
    }
    std::shared_ptr<PageForm> AddPage(const std::wstring& caption) {
        auto page = std::make_shared<PageForm>();
        pages.push_back(page);
        strip->TabItems().Add(caption, page);
        return page;
    }
    COLORREF Composite(int x, int y) { return ::GetPixel(strip->CompositeDC(), x, y); }
    void Send(UINT msg, WPARAM keys, int x, int y) { ::SendMessageW(strip->hWnd(), msg, keys, MAKELPARAM(x, y)); }
    void MoveTo(int x, int y) { Send(WM_MOUSEMOVE, 0, x, y); }
    void Click(UINT down, UINT up, int x, int y) {
        Send(down, MK_LBUTTON, x, y);
        Send(up, 0, x, y);
    }
    // Every pixel of a skin piece that is not transparent shows at the given strip position.
    void ExpectPiece(const Skin& skin, int sx, int sy, int width, int height, int x, int y, const char* what) {
        int compared = 0;
        for (int dy = 0; dy < height; ++dy)
            for (int dx = 0; dx < width; ++dx) {
                COLORREF want = skin.At(sx + dx, sy + dy);
                if (want == kMagenta) continue;
                ++compared;
                ASSERT_EQ(Composite(x + dx, y + dy), want) << what << " at " << dx << "," << dy;
            }
        EXPECT_GT(compared, 0) << what;
    }

    test::HostForm host{test::HostForm::Popup(L"TabTestHost", 0, 0, 800, 400)};
    std::unique_ptr<forms::PictureBox> container;
    std::unique_ptr<uTab> strip;
    std::vector<std::shared_ptr<PageForm>> pages;
};

TEST_F(TabStrip, FormsLiveInTheContainerAndOnlyTheSelectedOneIsShown) {
    Make(1, 10);
    auto a = AddPage(L"A");
    HWND fa = a->handle();
    EXPECT_EQ(::GetParent(fa), container->hWnd());
    LONG style = ::GetWindowLongW(fa, GWL_STYLE);
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_FALSE(style & WS_CAPTION);
    EXPECT_EQ(strip->Selected(), 0);
    EXPECT_FALSE(Visible(fa));  // the first tab is selected, but its form waits to be shown
    auto b = AddPage(L"B");
    HWND fb = b->handle();
    EXPECT_TRUE(Visible(fa));   // handing B its tab shows the selected form
    EXPECT_FALSE(Visible(fb));
    strip->SetSelected(1);
    EXPECT_TRUE(Visible(fb));
    RECT r;
    ::GetWindowRect(fb, &r);
    EXPECT_EQ(r.right - r.left, 800);
    EXPECT_EQ(r.bottom - r.top, 300);

    container->Move(0, 100, 600, 250);  // the selected form follows the container
    ::GetWindowRect(fb, &r);
    EXPECT_EQ(r.right - r.left, 600);

    strip->SetSelected(2);  // past the last tab: ignored
    EXPECT_EQ(strip->Selected(), 1);
    strip->SetSelected(-5);
    EXPECT_EQ(strip->Selected(), -1);
}

// Selection events the strip raised, as a screen reader hears them.
std::vector<std::pair<HWND, LONG>>* g_selections = nullptr;
void CALLBACK HearSelection(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
    if (g_selections && event == EVENT_OBJECT_SELECTION && object == OBJID_CLIENT)
        g_selections->push_back({hwnd, child});
}

TEST_F(TabStrip, ScreenReadersSeeAPageTabListWithOneSelectedTab) {
    Make(1, 10);
    AddPage(L"一区 云海");
    AddPage(L"二区 星河");
    AddPage(L"三区 群星");
    strip->SetSelected(1);
    IAccessible* acc = test::AccessibleOf(strip->hWnd(), strip->AccessibleObject());
    ASSERT_NE(acc, nullptr);
    auto child = [](long id) {
        VARIANT v;
        v.vt = VT_I4;
        v.lVal = id;
        return v;
    };
    VARIANT role;
    ASSERT_EQ(acc->get_accRole(child(CHILDID_SELF), &role), S_OK);
    EXPECT_EQ(role.lVal, ROLE_SYSTEM_PAGETABLIST);
    long count = 0;
    ASSERT_EQ(acc->get_accChildCount(&count), S_OK);
    ASSERT_EQ(count, 3);

    auto expectTabs = [&](long selected) {
        for (long id = 1; id <= count; ++id) {
            BSTR name = nullptr;
            ASSERT_EQ(acc->get_accName(child(id), &name), S_OK);
            EXPECT_EQ(std::wstring(name), strip->TabItems().Item(id - 1)->Caption());
            ::SysFreeString(name);
            VARIANT v;
            ASSERT_EQ(acc->get_accRole(child(id), &v), S_OK);
            EXPECT_EQ(v.lVal, ROLE_SYSTEM_PAGETAB);
            ASSERT_EQ(acc->get_accState(child(id), &v), S_OK);
            EXPECT_EQ((v.lVal & STATE_SYSTEM_SELECTED) != 0, id == selected) << id;
            // Its rectangle on the screen, where a click on it lands on it.
            long x = 0, y = 0, w = 0, h = 0;
            ASSERT_EQ(acc->accLocation(&x, &y, &w, &h, child(id)), S_OK);
            auto item = strip->TabItems().Item(id - 1);
            POINT corner{strip->TabLeftSize() + item->Left(), 0};
            ::ClientToScreen(strip->hWnd(), &corner);
            EXPECT_EQ(std::vector<long>({x, y, w}), std::vector<long>({corner.x, corner.y, item->Width()})) << id;
            EXPECT_GT(h, 0);
            ASSERT_EQ(acc->accHitTest(x + w / 2, y + h / 2, &v), S_OK);
            EXPECT_EQ(v.lVal, id);
        }
        VARIANT v;
        ASSERT_EQ(acc->get_accSelection(&v), S_OK);
        EXPECT_EQ(v.lVal, selected);
    };
    expectTabs(2);

    // Every switch is heard: by a click, by the host, by the screen reader's own select.
    std::vector<std::pair<HWND, LONG>> heard;
    g_selections = &heard;
    HWINEVENTHOOK hook = ::SetWinEventHook(EVENT_OBJECT_SELECTION, EVENT_OBJECT_SELECTION, nullptr, &HearSelection,
                                           ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    auto first = strip->TabItems().Item(0);
    Click(WM_LBUTTONDOWN, WM_LBUTTONUP, strip->TabLeftSize() + first->Left() + 20, 12);
    strip->SetSelected(2);
    EXPECT_EQ(acc->accSelect(SELFLAG_TAKESELECTION, child(2)), S_OK);
    strip->SetSelected(1);  // no change: nothing to hear
    EXPECT_EQ(acc->get_accName(child(4), nullptr), E_POINTER);
    BSTR none = nullptr;
    EXPECT_EQ(acc->get_accName(child(4), &none), E_INVALIDARG);
    test::PumpMessages(200);
    ::UnhookWinEvent(hook);
    g_selections = nullptr;
    HWND window = strip->hWnd();
    EXPECT_EQ(heard, (std::vector<std::pair<HWND, LONG>>{{window, 1}, {window, 3}, {window, 2}}));
    expectTabs(2);

    // A reader that holds on past the strip's end gets answers, not a crash.
    strip.reset();
    EXPECT_EQ(acc->get_accChildCount(&count), RPC_E_DISCONNECTED);
    EXPECT_EQ(acc->get_accRole(child(1), &role), RPC_E_DISCONNECTED);
    acc->Release();
}

TEST_F(TabStrip, RefreshPageWithoutSelectionFailsAndReleaseFormFreesTheWindow) {
    Make(1, 10);
    auto a = AddPage(L"A");
    strip->SetSelected(-1);
    EXPECT_THROW(strip->RefreshPage(), ClassicError);
    strip->SetSelected(0);
    strip->RefreshPage();
    EXPECT_EQ(a->refreshed, 1);

    EXPECT_FALSE(strip->TabItems().ReleaseForm(0));
    EXPECT_EQ(strip->TabItems().Count(), 0);
    EXPECT_TRUE(a->IsLoaded());
    EXPECT_EQ(::GetParent(a->handle()), nullptr);
    EXPECT_TRUE(::GetWindowLongW(a->handle(), GWL_STYLE) & WS_CAPTION);
    EXPECT_TRUE(Visible(a->handle()));
}

TEST_F(TabStrip, NothingIsLaidOutBeforeDrawingIsUnlocked) {
    Make(1, 10, 0, /*unlock=*/false);
    AddPage(L"A");
    AddPage(L"B");
    EXPECT_EQ(strip->TabItems().Item(1)->Left(), 0);
    EXPECT_EQ(strip->TabItems().Item(1)->Width(), 0);
    strip->LockReDraw(false);
    EXPECT_EQ(strip->TabItems().Item(1)->Left(), 205);
    EXPECT_EQ(strip->TabItems().Item(1)->Width(), 200);
}

TEST_F(TabStrip, PaintsNormalHoverSelectedAndPressedPieces) {
    Make(1, 10);
    Skin skin(107);
    for (auto c : {L"A", L"B", L"C"}) AddPage(c);
    // Tabs at Left 0, 205, 410, 200 wide; the tab area starts at 10.
    ExpectPiece(skin, 249, 0, 14, 26, 10 + 0, 0, "selected tab, left end");
    ExpectPiece(skin, 1, 0, 14, 26, 10 + 205, 0, "normal tab, left end");
    // The background column, 28 high, is stretched over the 32 rows of the strip.
    EXPECT_EQ(Composite(5, 0), skin.At(0, 0));
    EXPECT_EQ(Composite(5, 31), skin.At(0, 27));
    ExpectPiece(skin, 385, 0, 12, 12, 10 + 410 + 200 - 20, 7, "normal close glyph");
    ExpectPiece(skin, 373, 0, 12, 12, 10 + 200 - 20, 7, "close glyph on the selected tab");

    MoveTo(10 + 250, 20);
    EXPECT_EQ(strip->HoverIndex(), 1);
    ExpectPiece(skin, 125, 0, 14, 26, 10 + 205, 0, "hovered tab");
    MoveTo(10 + 610 - 15, 10);  // tab 2's close button
    EXPECT_EQ(strip->HoverIndex(), 2);
    EXPECT_EQ(strip->HoverState(), 1);
    ExpectPiece(skin, 397, 0, 12, 12, 10 + 590, 7, "hover close glyph");
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 10 + 595, 10);
    EXPECT_EQ(strip->HoverState(), 2);
    ExpectPiece(skin, 409, 0, 12, 12, 10 + 590, 7, "pressed close glyph");

    MoveTo(10 + 20, 20);  // a hovered selected tab keeps its piece
    ExpectPiece(skin, 249, 0, 14, 26, 10, 0, "hovered selected tab");
    ::SendMessageW(strip->hWnd(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(strip->HoverIndex(), -1);
}

TEST_F(TabStrip, Style0TabsOverlapAndTheSelectedOneLiesOnTop) {
    Make(0, 10);
    Skin skin(106);
    for (auto c : {L"A", L"B", L"C"}) AddPage(c);
    // Left 14, 122, 230; pictures start 14 pixels to the left: the first one at strip x 10.
    strip->SetSelected(-1);
    ExpectPiece(skin, 1, 0, 14, 25, 10, 0, "first picture at the margin");
    // Between tab 0 and tab 1, tab 0's right end (painted later) covers tab 1's left end;
    // where tab 0's end is transparent, tab 1's slant shows.
    const int overlapX = 10 + 122 - 14;
    ExpectPiece(skin, 1 + 122 - 14, 0, 14, 25, overlapX, 0, "left tab's end over its right neighbour");
    int underneath = 0;
    for (int y = 0; y < 25; ++y)
        for (int dx = 0; dx < 14; ++dx)
            if (skin.At(1 + 108 + dx, y) == kMagenta && skin.At(1 + dx, y) != kMagenta) {
                ++underneath;
                EXPECT_EQ(Composite(overlapX + dx, y), skin.At(1 + dx, y));
            }
    EXPECT_GT(underneath, 0);

    strip->SetSelected(1);  // the selected picture is painted last: both its ends lie on top
    ExpectPiece(skin, 245, 0, 14, 25, overlapX, 0, "selected left end");
    ExpectPiece(skin, 245 + 108, 0, 14, 25, 10 + 230 - 14, 0, "selected right end");
}

// Columns of a caption box holding pixels in the caption's colour.
std::vector<int> TextColumns(HDC dc, int x0, int x1, int y0, int y1, COLORREF colour) {
    std::vector<int> xs;
    for (int x = x0; x < x1; ++x)
        for (int y = y0; y < y1; ++y)
            if (::GetPixel(dc, x, y) == colour) {
                xs.push_back(x);
                break;
            }
    return xs;
}

TEST_F(TabStrip, CaptionsAreCentredWhenTheyFitElseCutWithAnEllipsis) {
    Make(1, 0);
    AddPage(L"Short");
    AddPage(L"A caption that is very much wider than the tab it belongs to");
    strip->SetSelected(-1);
    // Unselected caption boxes with a close button: x = Left + 12, width = Wd - 28.
    auto shortCols = TextColumns(strip->CompositeDC(), 12, 12 + 172, 0, 26, RGB(0, 0, 0));
    ASSERT_FALSE(shortCols.empty());
    int leftGap = shortCols.front() - 12, rightGap = 12 + 172 - 1 - shortCols.back();
    EXPECT_NEAR(leftGap, rightGap, 6);  // glyph bearings
    EXPECT_GT(leftGap, 40);

    auto longCols = TextColumns(strip->CompositeDC(), 205 + 12, 205 + 12 + 172, 0, 26, RGB(0, 0, 0));
    ASSERT_FALSE(longCols.empty());
    EXPECT_LE(longCols.front() - (205 + 12), 4);  // left-aligned
    EXPECT_TRUE(TextColumns(strip->CompositeDC(), 205 + 12 + 172, 205 + 200 - 20, 0, 26, RGB(0, 0, 0)).empty());
    // The ellipsis ends the cut text: three dots with gaps between them at the end.
    int gaps = 0;
    for (std::size_t i = longCols.size() - 8 < longCols.size() ? longCols.size() - 8 : 0; i + 1 < longCols.size(); ++i)
        if (longCols[i + 1] - longCols[i] > 1) ++gaps;
    EXPECT_GE(gaps, 2);
}

TEST_F(TabStrip, MouseSequences) {
    Make(1, 10);
    for (auto c : {L"A", L"B", L"C"}) AddPage(c);
    std::vector<std::string> events;
    strip->OnMouseDown = [&](std::int32_t i, short& button, short&, float&, float&) {
        events.push_back("down " + std::to_string(i) + " " + std::to_string(button));
    };
    strip->OnMouseUp = [&](std::int32_t i, short&, short&, float&, float&) { events.push_back("up " + std::to_string(i)); };
    strip->OnMouseHover = [&](std::int32_t i, short&, short&, float&, float&) {
        events.push_back("hover " + std::to_string(i));
    };
    strip->OnMouseMove = [&](std::int32_t i, short&, short&, float&, float&) { events.push_back("move " + std::to_string(i)); };
    strip->TabChanged = [&] { events.push_back("changed"); };
    strip->OnItemColose = [&](std::int32_t i, bool&) { events.push_back("close " + std::to_string(i)); };
    strip->OnDblClick = [&](std::int32_t i, short& button, short&, float& x, float&) {
        events.push_back("dbl " + std::to_string(i) + " " + std::to_string(button) + " " + std::to_string(int(x)));
    };

    // Press on tab 1's close button, release on its body: nothing is closed, the pressed look goes.
    MoveTo(10 + 390, 10);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 10 + 390, 10);
    EXPECT_EQ(strip->HoverState(), 2);
    Send(WM_LBUTTONUP, 0, 10 + 250, 10);
    EXPECT_EQ(strip->TabItems().Count(), 3);
    EXPECT_EQ(strip->HoverState(), 0);
    EXPECT_EQ(events, (std::vector<std::string>{"hover 1", "move 1", "changed", "down 1 1", "up 1"}));

    // Press on tab 2's body, move onto its close button with the button held, release there.
    events.clear();
    MoveTo(10 + 450, 10);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 10 + 450, 10);
    Send(WM_MOUSEMOVE, MK_LBUTTON, 10 + 595, 10);
    Send(WM_LBUTTONUP, 0, 10 + 595, 10);
    EXPECT_EQ(strip->TabItems().Count(), 2);
    EXPECT_EQ(strip->Selected(), 0);  // the closed tab was selected: the first one is
    EXPECT_EQ(events, (std::vector<std::string>{"hover 2", "move 2", "changed", "down 2 1", "move 0", "close 2", "up 2"}));

    // A press in the margin reports -2 and changes nothing; a right press reports 0.
    events.clear();
    Click(WM_LBUTTONDOWN, WM_LBUTTONUP, 5, 10);
    Send(WM_RBUTTONDOWN, MK_RBUTTON, 10 + 250, 10);
    Send(WM_RBUTTONUP, 0, 10 + 250, 10);
    EXPECT_EQ(events, (std::vector<std::string>{"down -2 1", "up -2", "down 0 2", "up 0"}));

    // A double click reads the last press: tab 1 is selected and reported.
    events.clear();
    Click(WM_LBUTTONDOWN, WM_LBUTTONUP, 10 + 300, 12);
    Send(WM_LBUTTONDBLCLK, MK_LBUTTON, 10 + 300, 12);
    Send(WM_LBUTTONUP, 0, 10 + 300, 12);
    EXPECT_EQ(strip->Selected(), 1);
    EXPECT_EQ(events, (std::vector<std::string>{"changed", "down 1 1", "up 1", "changed", "down 1 1", "dbl 1 1 310", "up 1"}));
}

TEST_F(TabStrip, TheHostCanVetoAClose) {
    Make(1, 10);
    auto a = AddPage(L"A");
    std::vector<std::int32_t> asked;
    strip->OnItemColose = [&](std::int32_t index, bool& cancel) {
        asked.push_back(index);
        cancel = strip->TabItems().Count() <= 1;
    };
    MoveTo(10 + 185, 10);
    Click(WM_LBUTTONDOWN, WM_LBUTTONUP, 10 + 185, 10);
    EXPECT_EQ(asked, (std::vector<std::int32_t>{0}));  // the host was asked, and it said no
    EXPECT_EQ(strip->TabItems().Count(), 1);
    EXPECT_TRUE(a->IsLoaded());
}

// The host may destroy the strip inside any of its events: answering "Yes" on the last tab's
// close closes the window that holds the strip. The strip lives in storage that is overwritten
// with garbage the moment it is destroyed, and each handler is small enough to live inside the
// strip's own event member, so any use of the strip, or of the handler it was running, after
// the event would crash this test.
alignas(uTab) unsigned char g_stripStorage[sizeof(uTab)];
struct Destroyer {
    uTab* strip;
    int fired;
    void Run() {
        strip->~uTab();
        std::memset(g_stripStorage, 0xCD, sizeof(g_stripStorage));
    }
};

TEST_F(TabStrip, MayBeDestroyedInsideEachOfItsEvents) {
    auto send = [](HWND w, UINT msg, WPARAM keys, int x, int y) { ::SendMessageW(w, msg, keys, MAKELPARAM(x, y)); };
    auto closeMark = [&](HWND w) {
        send(w, WM_MOUSEMOVE, 0, 10 + 185, 10);
        send(w, WM_LBUTTONDOWN, MK_LBUTTON, 10 + 185, 10);
        send(w, WM_LBUTTONUP, 0, 10 + 185, 10);
    };
    // Each handler reads its destroyer after destroying the strip.
    auto any = [](uTab& s, Destroyer* d, auto uTab::*event) {
        s.*event = [d](auto&&...) {
            d->Run();
            ++d->fired;
        };
    };
    struct Case {
        const char* event;
        std::function<void(uTab&, Destroyer*)> hook;
        std::function<void(HWND)> trigger;
    };
    const Case cases[] = {
        {"OnItemColose, cancelled",
         [](uTab& s, Destroyer* d) {
             s.OnItemColose = [d](std::int32_t, bool& cancel) {
                 cancel = true;
                 d->Run();
                 ++d->fired;
             };
         },
         closeMark},
        {"OnItemColose, not cancelled", [&](uTab& s, Destroyer* d) { any(s, d, &uTab::OnItemColose); }, closeMark},
        {"TabChanged", [&](uTab& s, Destroyer* d) { any(s, d, &uTab::TabChanged); },
         [&](HWND w) { send(w, WM_LBUTTONDOWN, MK_LBUTTON, 50, 10); }},
        {"OnMouseDown", [&](uTab& s, Destroyer* d) { any(s, d, &uTab::OnMouseDown); },
         [&](HWND w) { send(w, WM_LBUTTONDOWN, MK_LBUTTON, 5, 10); }},
        {"OnMouseHover", [&](uTab& s, Destroyer* d) { any(s, d, &uTab::OnMouseHover); },
         [&](HWND w) { send(w, WM_MOUSEMOVE, 0, 50, 10); }},
        {"OnMouseMove", [&](uTab& s, Destroyer* d) { any(s, d, &uTab::OnMouseMove); },
         [&](HWND w) { send(w, WM_MOUSEMOVE, 0, 50, 10); }},
        {"OnMouseUp", [&](uTab& s, Destroyer* d) { any(s, d, &uTab::OnMouseUp); },
         [&](HWND w) { send(w, WM_LBUTTONUP, 0, 50, 10); }},
        {"OnDblClick", [&](uTab& s, Destroyer* d) { any(s, d, &uTab::OnDblClick); },
         [&](HWND w) { send(w, WM_LBUTTONDBLCLK, MK_LBUTTON, 50, 10); }},
        {"OnMouseLeave", [&](uTab& s, Destroyer* d) { any(s, d, &uTab::OnMouseLeave); },
         [&](HWND w) { send(w, WM_MOUSELEAVE, 0, 0, 0); }},
        {"OnDrawBackground", [&](uTab& s, Destroyer* d) { any(s, d, &uTab::OnDrawBackground); },
         [&](HWND w) { send(w, WM_SIZE, 0, 700, 32); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.event);
        container = std::make_unique<forms::PictureBox>();
        container->Create(host.handle(), 0, 100, 800, 300);
        uTab* s = new (g_stripStorage) uTab();
        s->Create(host.handle(), 0, 0, 700, {{L"TabStyle", 1}, {L"TabLeftSize", 10}});
        s->SethContainerWnd(container->hWnd());
        s->LockReDraw(false);
        auto page = std::make_shared<PageForm>();
        s->TabItems().Add(L"A", page);
        page.reset();
        HWND window = s->hWnd();
        Destroyer destroyer{s, 0};
        c.hook(*s, &destroyer);
        c.trigger(window);
        EXPECT_EQ(destroyer.fired, 1);
        EXPECT_FALSE(::IsWindow(window));
        if (!destroyer.fired) s->~uTab();
        container.reset();
        test::PumpMessages(150);  // the interception records go 100 ms after their last message
    }
}

// The composite's pixels, to compare the drawing from cached pieces with the direct one.
std::vector<std::uint32_t> CompositePixels(uTab& strip) {
    RECT r{};
    ::GetClientRect(strip.hWnd(), &r);
    auto pixels = mdlTabAPI::ReadPixels(strip.CompositeDC(), r.right, r.bottom);
    for (auto& p : pixels) p &= 0x00FFFFFF;
    return pixels;
}

// After each change, what DrawTabs left in the composite is exactly what the direct drawing
// (every tab stretched afresh from the skin) gives, including right after a resize and a change
// of style, which start the cache of pieces afresh.
TEST_F(TabStrip, CachedDrawingMatchesTheDirectOneThroughResizesAndStyleChanges) {
    for (int style : {0, 1}) {
        SCOPED_TRACE(style);
        Make(style, 10);
        for (auto c : {L"A", L"页面 B", L"A caption too wide for any tab of this strip"}) AddPage(c);
        const struct Step {
            const char* what;
            std::function<void()> change;
        } steps[] = {
            {"first drawing", [] {}},
            {"selection", [&] { strip->SetSelected(2); }},
            {"hover", [&] { strip->ShowHover(1, 0); }},
            {"close hovered", [&] { strip->ShowHover(2, 1); }},
            {"close pressed", [&] { strip->ShowHover(2, 2); }},
            {"narrower", [&] { ::SetWindowPos(strip->hWnd(), nullptr, 0, 0, 450, 40, SWP_NOMOVE | SWP_NOZORDER); }},
            {"other style", [&] {
                 strip->SetTabStyle(1 - style);
                 ::SetWindowPos(strip->hWnd(), nullptr, 0, 0, 600, 40, SWP_NOMOVE | SWP_NOZORDER);
             }},
            {"hover after the style change", [&] { strip->ShowHover(0, 1); }},
        };
        for (const Step& step : steps) {
            SCOPED_TRACE(step.what);
            step.change();
            auto cached = CompositePixels(*strip);
            strip->DrawTabsDirect();
            auto direct = CompositePixels(*strip);
            ASSERT_EQ(cached.size(), direct.size());
            std::size_t differ = 0;
            for (std::size_t i = 0; i < cached.size(); ++i) differ += cached[i] != direct[i];
            EXPECT_EQ(differ, 0u);
            strip->DrawTabs();
        }
    }
}

// A hover change draws only the tabs whose pictures change and the ones overlapping them, and
// leaves every other pixel as the full drawing has it.
TEST_F(TabStrip, AHoverChangeRepaintsOnlyTheTabsItChanges) {
    struct Case {
        int style;
        int fromIndex, fromState, toIndex, toState;
        int drawn;
    };
    // Style 1: tabs 200 wide, 5 apart, side by side. Style 0: 108 wide, each picture 14 pixels
    // over its left neighbour, so a change to the middle tab redraws its neighbours' ends.
    const Case cases[] = {
        {1, -1, 0, 1, 0, 1}, {1, 1, 0, 2, 0, 2}, {1, 2, 0, 2, 1, 1}, {1, 2, 1, -1, 1, 1},
        {1, 0, 0, 0, 0, 0},  // nothing changes: nothing is drawn
        {0, -1, 0, 1, 0, 3}, {0, 1, 0, 2, 0, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "style " << c.style << ", " << c.fromIndex << "/" << c.fromState
                                          << " -> " << c.toIndex << "/" << c.toState);
        Make(c.style, 10);
        for (auto t : {L"A", L"B", L"C"}) AddPage(t);
        strip->SetSelected(-1);
        strip->ShowHover(c.fromIndex, c.fromState);
        strip->DrawTabs();
        strip->ShowHover(c.toIndex, c.toState);
        EXPECT_EQ(strip->TabsDrawnLast(), c.drawn);
        auto repainted = CompositePixels(*strip);
        strip->DrawTabs();
        EXPECT_EQ(CompositePixels(*strip), repainted);
    }
}

TEST_F(TabStrip, AnExceptionFromAHostHandlerStaysInsideTheWindowProcedureAndIsReported) {
    Make(1, 10);
    AddPage(L"A");
    test::EventLogWatch log;
    strip->OnMouseDown = [](std::int32_t, short&, short&, float&, float&) { throw std::runtime_error("host failed"); };
    strip->OnMouseLeave = [] { throw std::runtime_error("leave failed"); };
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 50, 10);   // the strip's own procedure
    Send(WM_LBUTTONUP, 0, 50, 10);
    ::SendMessageW(strip->hWnd(), WM_MOUSELEAVE, 0, 0);  // the interception's procedure
    EXPECT_EQ(test::EventLogWatch::Lines(),
              (std::vector<std::wstring>{L"uTab.HandleMessage: host failed", L"uTab.WindowProc: leave failed"}));
    EXPECT_EQ(strip->Selected(), 0);  // and the strip goes on working
    MoveTo(10 + 50, 10);
    EXPECT_EQ(strip->HoverIndex(), 0);
}

TEST_F(TabStrip, SurfaceErrorsCarryTheirDescriptions) {
    try {
        mdlTabAPI::CreateMemDC(200000, 200000);
        FAIL() << "no error";
    } catch (const mdlTabAPI::DrawingError& e) {
        EXPECT_EQ(e.Description(), L"CreateCompatibleBitmap调用失败");
    }
}

TEST_F(TabStrip, NoGdiObjectIsLeakedByTabsOrPainting) {
    test::GdiObjectWatch watch;
    Make(0, 40);
    // The system's own count where it has one (Windows), else the watched calls (Wine).
    auto count = [] {
        DWORD system = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
        return system ? static_cast<std::size_t>(system) : test::GdiObjectWatch::Live();
    };
    AddPage(L"warm up");
    strip->TabItems().Remove(0, true);
    std::size_t before = count();
    ASSERT_GT(before, 0u);  // the strip's own surfaces and fonts
    for (int i = 0; i < 1000; ++i) {
        auto page = std::make_shared<PageForm>();
        strip->TabItems().Add(L"页面 " + std::to_wstring(i), page);
        strip->TabItems().Remove(0, true);
    }
    EXPECT_EQ(count(), before);
    for (auto c : {L"A", L"B", L"C"}) AddPage(c);
    std::size_t drawing = count();
    for (int i = 0; i < 1000; ++i) strip->DrawTabs();
    EXPECT_EQ(count(), drawing);

    // And everything goes with the strip.
    pages.clear();
    strip.reset();
    container.reset();
    EXPECT_LT(count(), before);
}

}  // namespace
}  // namespace xcyh2
