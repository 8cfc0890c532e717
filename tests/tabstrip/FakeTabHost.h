// A strip, a window layer and forms made of plain objects, recording what the tab collection
// asks of them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tabstrip/CTabItems.h"

namespace xcyh2::test {

struct FakeWindows : TabWindowOps {
    std::vector<std::string> calls;
    std::int32_t style = 0x16CF0000;
    std::int32_t WindowStyle(TabWnd) override { return style; }
    void Activate(TabWnd) override { calls.push_back("activate"); }
    void UnloadForm(ITabForm& form) override;
    void FreeForm(TabWnd, std::int32_t savedStyle, TabWnd) override {
        calls.push_back("free " + std::to_string(savedStyle));
    }
};

struct FakeForm : ITabForm {
    explicit FakeForm(std::string name) : name(std::move(name)) {}
    std::string name;
    int initialized = 0;
    bool loaded = true;
    std::weak_ptr<CTabItem> item;
    TabWnd hWnd() override { return reinterpret_cast<TabWnd>(this); }
    void Initialize(IuTab*, const std::shared_ptr<CTabItem>& i) override {
        ++initialized;
        item = i;
    }
    void RefreshPage() override {}
};

inline void FakeWindows::UnloadForm(ITabForm& form) {
    auto& f = static_cast<FakeForm&>(form);
    f.loaded = false;
    calls.push_back("unload " + f.name);
}

struct FakeStrip : IuTab {
    explicit FakeStrip(CTabItems& items) : items(items) { items.SetOwner(this); }
    CTabItems& items;
    std::vector<std::string> calls;
    std::int32_t selected = -1;
    bool veto = false;
    void Add(const std::wstring&, ITabForm&, const std::optional<std::wstring>&, const TabIndex&) override {
        calls.push_back("add");
    }
    bool BeforeRemove(std::int32_t index) override {
        calls.push_back("before " + std::to_string(index));
        return !veto;
    }
    void Remove(std::int32_t index) override { calls.push_back("remove " + std::to_string(index)); }
    void Clear() override { calls.push_back("clear"); }
    void Redraw(bool) override { calls.push_back("redraw"); }
    void ChangeForm(CTabItem&, ITabForm&) override { calls.push_back("changeform"); }
    std::int32_t Selected() const override { return selected; }
    void SetSelected(std::int32_t index) override { selected = index; }
    CTabItems& TabItems() override { return items; }
    TabWnd hWnd() const override { return nullptr; }
    TabWnd hParent() const override { return nullptr; }
};

}  // namespace xcyh2::test
