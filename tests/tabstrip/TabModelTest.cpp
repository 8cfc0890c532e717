// The tab collection against a fake strip and fake forms: index rules, errors, keys, veto,
// unloading, and that items and forms go once nothing holds them.
#include <gtest/gtest.h>

#include "base/classic_error.h"
#include "tabstrip/FakeTabHost.h"

namespace xcyh2 {
namespace {

using test::FakeForm;
using test::FakeStrip;
using test::FakeWindows;

class TabModel : public ::testing::Test {
protected:
    FakeWindows windows;
    CTabItems items{windows};
    FakeStrip strip{items};

    std::shared_ptr<FakeForm> AddTab(const std::string& name, std::optional<std::wstring> key = std::nullopt,
                                     const TabIndex& index = {}) {
        auto form = std::make_shared<FakeForm>(name);
        items.Add(std::wstring(name.begin(), name.end()), form, key, index);
        return form;
    }
    std::string Order() {
        std::string s;
        for (int i = 0; i < items.Count(); ++i) s += static_cast<FakeForm&>(*items.Item(i)->Form()).name;
        return s;
    }
    static int ErrorOf(const std::function<void()>& f) {
        try {
            f();
        } catch (const ClassicError& e) {
            return e.number();
        }
        return 0;
    }
};

TEST_F(TabModel, AddRunsStepsInOrderAndInitialisesTheFormTwice) {
    auto form = AddTab("A");
    EXPECT_EQ(form->initialized, 2);
    EXPECT_EQ(strip.calls, (std::vector<std::string>{"redraw", "changeform", "add"}));
    EXPECT_EQ(windows.calls, (std::vector<std::string>{"activate"}));
    auto item = items.Item(0);
    EXPECT_EQ(item->SavedStyle(), windows.style);
    EXPECT_EQ(item->Owner(), &strip);
    EXPECT_EQ(form->item.lock(), item);
}

TEST_F(TabModel, AddPositionRules) {
    AddTab("A", std::nullopt, 0);  // 0 on an empty list appends
    AddTab("B", std::nullopt, 1);  // Count appends
    AddTab("C");
    AddTab("X", std::nullopt, L"1");  // a text that holds a number is a number here
    EXPECT_EQ(Order(), "AXBC");
    AddTab("Y", std::nullopt, 2.5);  // halves to even: 2
    AddTab("Z", std::nullopt, L" 3.5 ");  // 4
    EXPECT_EQ(Order(), "AXYBZC");
}

TEST_F(TabModel, AddErrorsLeaveTheListAndTheFormAlone) {
    AddTab("A");
    AddTab("B");
    auto form = std::make_shared<FakeForm>("E");
    EXPECT_EQ(ErrorOf([&] { items.Add(L"E", form, std::nullopt, 3); }), 9);
    EXPECT_EQ(ErrorOf([&] { items.Add(L"E", form, std::nullopt, -1); }), 9);
    EXPECT_EQ(ErrorOf([&] { items.Add(L"E", form, std::nullopt, 1e12); }), 9);
    EXPECT_EQ(ErrorOf([&] { items.Add(L"E", form, std::nullopt, L"one"); }), 5);
    EXPECT_EQ(ErrorOf([&] { items.Add(L"E", form, std::nullopt, L"1x"); }), 5);
    EXPECT_EQ(ErrorOf([&] { items.Add(L"E", form, std::nullopt, L""); }), 5);
    EXPECT_EQ(Order(), "AB");
    // The failed item let go of the form without unloading it.
    EXPECT_TRUE(form->loaded);
    EXPECT_EQ(form->item.lock(), nullptr);
}

TEST_F(TabModel, KeysAreUniqueWithoutRegardToCase) {
    AddTab("A", L"http://a/Game");
    EXPECT_EQ(ErrorOf([&] { AddTab("B", L"HTTP://A/game"); }), 457);
    EXPECT_EQ(items.Count(), 1);
    EXPECT_EQ(items.FindItem(L"http://A/GAME"), 0);
    EXPECT_EQ(items.Item(L"Http://a/Game")->Caption(), L"A");
    EXPECT_EQ(ErrorOf([&] { items.Item(L"nothing"); }), 5);
}

TEST_F(TabModel, FindItemTellsKeysFromPositions) {
    EXPECT_EQ(items.FindItem(0), -1);
    EXPECT_EQ(items.FindItem(L"2"), -1);
    auto a = AddTab("A", L"2");
    auto b = AddTab("B");
    EXPECT_EQ(items.FindItem(L"2"), 0);  // the key "2", not position 2
    EXPECT_EQ(items.FindItem(2), -1);
    EXPECT_EQ(items.FindItem(1), 1);
    EXPECT_EQ(items.FindItem(1.5), -1);  // 2
    EXPECT_EQ(items.FindItem(0.5), 0);
    EXPECT_EQ(items.FindItem(-1), -1);
    EXPECT_EQ(items.FindItem(b.get()), 1);
    EXPECT_EQ(items.FindItem(items.Item(1).get()), 1);
    FakeForm stranger("S");
    EXPECT_EQ(items.FindItem(&stranger), -1);
    EXPECT_EQ(items.FindItem(TabIndex{}), -1);
    EXPECT_EQ(items.Item(-1), nullptr);
    EXPECT_EQ(items.Item(2), nullptr);
}

TEST_F(TabModel, RemoveHonoursTheVetoAndUnloadsOnlyWhenAsked) {
    auto a = AddTab("A");
    auto b = AddTab("B");
    auto c = AddTab("C");
    strip.calls.clear();
    strip.veto = true;
    EXPECT_FALSE(items.Remove(1, true));
    EXPECT_EQ(Order(), "ABC");
    EXPECT_TRUE(b->loaded);
    strip.veto = false;

    EXPECT_FALSE(items.Remove(7, true));
    EXPECT_FALSE(items.Remove(L"nokey", true));
    EXPECT_TRUE(items.Remove(b.get(), true));
    EXPECT_FALSE(b->loaded);
    EXPECT_EQ(strip.calls, (std::vector<std::string>{"before 1", "before 1", "remove 1"}));
    EXPECT_EQ(windows.calls.back(), "unload B");

    EXPECT_TRUE(items.Remove(0, false));
    EXPECT_TRUE(a->loaded);
    EXPECT_EQ(a.use_count(), 1);  // the item let go of it: only the test holds it now
    EXPECT_EQ(Order(), "C");
}

TEST_F(TabModel, RemoveCopesWithAHandlerThatClearsTheList) {
    struct ClearingStrip : FakeStrip {
        using FakeStrip::FakeStrip;
        bool BeforeRemove(std::int32_t) override {
            items.Clear();
            return true;
        }
    };
    ClearingStrip clearing{items};
    auto a = AddTab("A");
    EXPECT_FALSE(items.Remove(0, true));
    EXPECT_EQ(items.Count(), 0);
    EXPECT_FALSE(a->loaded);
}

TEST_F(TabModel, ClearUnloadsInPositionOrderThenTellsTheStrip) {
    AddTab("A");
    AddTab("B");
    AddTab("C", std::nullopt, 0);
    windows.calls.clear();
    strip.calls.clear();
    EXPECT_FALSE(items.Clear());
    EXPECT_EQ(windows.calls, (std::vector<std::string>{"unload C", "unload A", "unload B"}));
    EXPECT_EQ(strip.calls, (std::vector<std::string>{"clear"}));
    EXPECT_EQ(items.Count(), 0);
}

TEST_F(TabModel, ReleaseFormKeepsTheFormAndGivesItTheSavedStyle) {
    auto a = AddTab("A");
    windows.calls.clear();
    EXPECT_FALSE(items.ReleaseForm(a.get()));
    EXPECT_EQ(items.Count(), 0);
    EXPECT_TRUE(a->loaded);
    EXPECT_EQ(windows.calls, (std::vector<std::string>{"free " + std::to_string(windows.style)}));

    auto b = AddTab("B");
    strip.veto = true;
    windows.calls.clear();
    EXPECT_FALSE(items.ReleaseForm(0));
    EXPECT_EQ(items.Count(), 1);
    EXPECT_TRUE(windows.calls.empty());
}

TEST_F(TabModel, ItemPropertiesRedrawButDoNotLayOut) {
    AddTab("A");
    auto item = items.Item(0);
    strip.calls.clear();
    item->SetCaption(L"x");
    item->SetHideButton(true);
    item->SetLockSize(true);
    EXPECT_EQ(strip.calls, (std::vector<std::string>{"redraw", "redraw", "redraw"}));
    item->SetItemData(42);
    EXPECT_EQ(std::any_cast<int>(item->ItemData()), 42);
}

TEST_F(TabModel, ItemsAndFormsAreReleasedOnceNothingHoldsThem) {
    std::weak_ptr<FakeForm> weakForm;
    std::weak_ptr<CTabItem> weakItem;
    {
        auto form = AddTab("A");
        weakForm = form;
        weakItem = items.Item(0);
    }
    ASSERT_FALSE(weakForm.expired());  // the item holds its form
    items.Remove(0, true);
    EXPECT_TRUE(weakItem.expired());
    EXPECT_TRUE(weakForm.expired());

    // Items that go with their collection unload the forms they still hold; an item the host
    // keeps after its strip is gone does not call the strip any more.
    FakeWindows w;
    std::shared_ptr<CTabItem> kept;
    std::shared_ptr<FakeForm> d = std::make_shared<FakeForm>("D");
    {
        CTabItems local(w);
        FakeStrip s(local);
        local.Add(L"C", std::make_shared<FakeForm>("C"));
        local.Add(L"D", d);
        kept = local.Item(0);
    }
    EXPECT_FALSE(d->loaded);
    EXPECT_EQ(kept->Owner(), nullptr);
    kept->SetCaption(L"still fine");
}

}  // namespace
}  // namespace xcyh2
