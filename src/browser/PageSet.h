// The built-in engine's documents: the top page and its inline frames, each with its layout,
// and what the reader points at in them. Window-free: the window side lays the pages out with
// its fonts and draws them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "browser/html/Document.h"
#include "browser/html/Layout.h"

namespace xcyh2::browser {

// Where a frame's position would go: the top document.
constexpr int kFrameIndexTop = -1;

// One loaded document (the top page or a frame's) and its layout.
struct LoadedPage {
    std::u16string url;
    html::Document doc;
    html::PageLayout layout;
    int layoutWidth = -1;  // the width the layout was made for; -1 before the first
};

struct FrameSlot {
    std::u16string url;     // resolved address ("" when the frame has none)
    bool pending = false;   // its fetch is running
    std::optional<LoadedPage> page;
};

// A link under a point: its resolved address, its target and the frame that holds it.
struct LinkHit {
    std::u16string url;
    std::u16string target;
    int frame = kFrameIndexTop;
};

struct PageSet {
    std::optional<LoadedPage> top;
    std::vector<FrameSlot> frames;  // by their position in the top page

    // The loaded document of frame `index`; nullptr when there is no such frame or it has none yet.
    LoadedPage* FramePage(int index);
    const LoadedPage* FramePage(int index) const;

    // The link at a point of the top page (page coordinates). Inside a frame's box only that
    // frame's document counts.
    std::optional<LinkHit> LinkAt(int x, int y) const;

    // The text as drawn: the runs of a line together, a line break after each line; the top
    // page first, then the frames in order.
    std::u16string Text() const;
};

}  // namespace xcyh2::browser
