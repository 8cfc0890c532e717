// The built-in engine's input: the reader's mouse, keys, scroll bar and wheel, links followed
// on a click, and the context menu.
#pragma once

#include <windows.h>

#include <string>

#include "browser/BuiltInEvents.h"
#include "browser/PageLoader.h"
#include "browser/PageView.h"
#include "forms/Window.h"

namespace xcyh2::browser {

class PageInput {
public:
    PageInput(const forms::Window& window, BuiltInEvents& events, PageView& view, PageLoader& loader)
        : window_(window), events_(events), view_(view), loader_(loader) {}

    // Handles an input message and sets its result; false for a message it leaves to the
    // window's default handling.
    bool Handle(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    void OnScrollBar(WORD code);
    void OnKey(WPARAM key);
    bool OnSetCursor(WORD hitTest);
    void OnButtonDown(POINT client);
    void OnButtonUp(POINT client);
    void FollowLink(const LinkHit& link);
    void ShowContextMenu(POINT screen);

    const forms::Window& window_;
    BuiltInEvents& events_;
    PageView& view_;
    PageLoader& loader_;
    std::wstring pressedLink_;  // the link under the pointer when the left button went down
};

}  // namespace xcyh2::browser
