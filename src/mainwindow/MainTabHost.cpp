#include "mainwindow/MainTabHost.h"

#include "mainwindow/GameAddress.h"

namespace xcyh2 {
namespace {

void SetArrowCursor() { ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW)); }

}  // namespace

void MainTabHost::Create(HWND hwnd, int x, int y, int width, Events events) {
    hwnd_ = hwnd;
    events_ = std::move(events);
    WebuTab_ = std::make_unique<uTab>();
    WebuTab_->SetScale(scale_);
    WebuTab_->Create(hwnd, x, y, width, {{L"TabStyle", 1}});
    tabToolTip_.Create(WebuTab_->hWnd());
    WebuTab_->TabChanged = [this] { WebuTab_TabChanged(); };
    WebuTab_->OnMouseDown = [this](std::int32_t i, short& b, short& s, float& x, float& y) {
        WebuTab_OnMouseDown(i, b, s, x, y);
    };
    WebuTab_->OnMouseHover = [this](std::int32_t i, short& b, short& s, float& x, float& y) {
        WebuTab_OnMouseHover(i, b, s, x, y);
    };
    WebuTab_->OnMouseMove = [this](std::int32_t i, short& b, short& s, float& x, float& y) {
        WebuTab_OnMouseMove(i, b, s, x, y);
    };
    WebuTab_->OnItemColose = [this](std::int32_t i, bool& Cancel) { WebuTab_OnItemColose(i, Cancel); };
}

void MainTabHost::SetContainer(HWND container) {
    WebuTab_->SethContainerWnd(container);
    WebuTab_->LockReDraw(false);
}

void MainTabHost::OpenGameTab(const std::wstring& strURL, const WebUrl::BrowserFactory& browserFactory,
                              const WebUrl::ShellOpen& shellOpen) {
    if (!WebuTab_) return;
    CTabItems& items = WebuTab_->TabItems();
    std::wstring key = GameTabKey(strURL);
    std::int32_t found = items.FindItem(key);
    if (found == -1) {
        auto page = std::make_shared<WebUrl>(browserFactory, shellOpen);
        page->SetScale(scale_);
        page->OpenURL(strURL);
        items.Add(key, page, key);
        items.SetSelected(items.Count() - 1);
    } else {
        items.SetSelected(found);
    }
}

void MainTabHost::SetScale(const DpiScale& scale) {
    scale_ = scale;
    if (!WebuTab_) return;
    WebuTab_->SetScale(scale);
    CTabItems& items = WebuTab_->TabItems();
    for (std::int32_t i = 0; i < items.Count(); ++i) {
        if (auto* page = dynamic_cast<WebUrl*>(items.Item(i)->Form().get())) page->SetScale(scale);
    }
}

void MainTabHost::RefreshPage() {
    if (WebuTab_) WebuTab_->RefreshPage();
}

TabState MainTabHost::State(bool fullScreen) {
    if (!WebuTab_) return {0, -1, fullScreen};
    CTabItems& items = WebuTab_->TabItems();
    return {items.Count(), items.Selected(), fullScreen};
}

void MainTabHost::Select(std::int32_t index) {
    if (!WebuTab_) return;
    CTabItems& items = WebuTab_->TabItems();
    if (index >= 0 && index < items.Count() && index != items.Selected()) items.SetSelected(index);
}

WebUrl* MainTabHost::SelectedPage() {
    if (!WebuTab_) return nullptr;
    CTabItems& items = WebuTab_->TabItems();
    std::int32_t selected = items.Selected();
    if (selected < 0 || selected >= items.Count()) return nullptr;
    // Every page this host opens is a game page form.
    return dynamic_cast<WebUrl*>(items.Item(selected)->Form().get());
}

bool MainTabHost::Zoom(KeyAction action) {
    WebUrl* page = SelectedPage();
    if (!page) return false;
    switch (action) {
        case KeyAction::ZoomIn: page->SetZoom(ZoomIn(page->Zoom())); return true;
        case KeyAction::ZoomOut: page->SetZoom(ZoomOut(page->Zoom())); return true;
        case KeyAction::ZoomReset: page->SetZoom(kZoomDefault); return true;
        default: return false;
    }
}

bool MainTabHost::ZoomWheel(int delta) {
    WebUrl* page = SelectedPage();
    if (!page) return false;
    int steps = wheel_.Add(delta);
    for (; steps > 0; --steps) page->SetZoom(ZoomIn(page->Zoom()));
    for (; steps < 0; ++steps) page->SetZoom(ZoomOut(page->Zoom()));
    return true;
}

void MainTabHost::Clear() {
    if (WebuTab_) WebuTab_->TabItems().Clear();
}

void MainTabHost::Destroy() {
    tabToolTip_.Destroy();
    WebuTab_.reset();
}

void MainTabHost::WebuTab_TabChanged() {
    if (events_.tabChanged) events_.tabChanged();
}

void MainTabHost::WebuTab_OnMouseDown(std::int32_t index, short&, short&, float&, float&) {
    SetArrowCursor();
    // The empty part of the strip drags the window, while it is restored.
    if (index < 0 && events_.dragsWindow && events_.dragsWindow()) forms::StartSystemDrag(hwnd_);
}

void MainTabHost::WebuTab_OnMouseHover(std::int32_t index, short&, short&, float&, float&) {
    std::wstring text;
    if (WebuTab_ && index >= 0 && index < WebuTab_->TabItems().Count())
        text = WebuTab_->TabItems().Item(index)->Caption();
    tabToolTip_.SetText(text);
}

void MainTabHost::WebuTab_OnMouseMove(std::int32_t, short&, short&, float&, float&) { SetArrowCursor(); }

void MainTabHost::WebuTab_OnItemColose(std::int32_t, bool& Cancel) {
    // The last tab is never removed: closing it means closing the program (which, answered
    // with yes, destroys the strip inside this event).
    if (WebuTab_ && WebuTab_->TabItems().Count() <= 1) {
        Cancel = true;
        if (events_.closeLast) events_.closeLast();
    }
}

}  // namespace xcyh2
