// The built-in engine's fetching and frames: navigates the top page, fetches it and then its
// inline frames on worker threads, and raises the navigation events in the system control's
// order (BeforeNavigate2, DownloadBegin, TitleChange, each frame's DocumentComplete, then the
// top document's). A failed fetch shows the engine's error page.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <utility>

#include "browser/BuiltInEvents.h"
#include "browser/HttpFetch.h"
#include "browser/PageSet.h"
#include "browser/PageView.h"
#include "forms/Window.h"

namespace xcyh2::browser {

class PageLoader {
public:
    // Fetches report to window with fetchDoneMessage (wParam: the fetch's id), to be passed to
    // OnFetchDone.
    PageLoader(const forms::Window& window, UINT fetchDoneMessage, BuiltInEvents& events, PageSet& pages,
               PageView& view)
        : window_(window), fetchDoneMessage_(fetchDoneMessage), events_(events), pages_(pages), view_(view) {}

    // A navigation of the top page: BeforeNavigate2 first, which may cancel it.
    void Navigate(const std::wstring& url);
    // A link that targets a frame of the page: BeforeNavigate2, then that frame alone.
    void NavigateFrame(int frame, const std::wstring& url);
    // Loads the current page again, without BeforeNavigate2.
    void Refresh();
    // Forgets the running fetches: they post nothing any more.
    void CancelFetches();
    void OnFetchDone(WPARAM id);

private:
    void Load(const std::wstring& url);
    void StartFetch(const std::wstring& url, int frameIndex);
    void ShowTopPage(LoadedPage page);
    void StartFrames();
    void FrameFinished(int index);
    void CompleteTopIfReady();

    const forms::Window& window_;
    UINT fetchDoneMessage_;
    BuiltInEvents& events_;
    PageSet& pages_;
    PageView& view_;
    bool topCompleted_ = true;  // the current page's DocumentComplete has been raised
    std::map<WPARAM, std::pair<std::shared_ptr<Fetch>, int>> fetches_;  // id -> fetch, frame index
    WPARAM nextFetchId_ = 1;
};

}  // namespace xcyh2::browser
