#include "browser/PageSet.h"

#include "browser/html/Url.h"

namespace xcyh2::browser {
namespace {

std::optional<LinkHit> LinkOf(const LoadedPage& page, int link, int frame) {
    if (link < 0 || link >= static_cast<int>(page.doc.Links().size())) return std::nullopt;
    const html::Link& l = page.doc.Links()[link];
    return LinkHit{html::ResolveUrl(page.url, l.href), l.target, frame};
}

void AppendText(const LoadedPage& page, std::u16string& text) {
    int lastY = -1;
    for (const html::PlacedRun& run : page.layout.runs) {
        if (lastY != -1 && run.y != lastY) text += u'\n';
        lastY = run.y;
        text += run.text;
    }
    text += u'\n';
}

}  // namespace

LoadedPage* PageSet::FramePage(int index) {
    if (index < 0 || index >= static_cast<int>(frames.size()) || !frames[index].page) return nullptr;
    return &*frames[index].page;
}

const LoadedPage* PageSet::FramePage(int index) const { return const_cast<PageSet*>(this)->FramePage(index); }

std::optional<LinkHit> PageSet::LinkAt(int x, int y) const {
    if (!top) return std::nullopt;
    for (const html::PlacedFrame& box : top->layout.frames) {
        if (x < box.x || x >= box.x + box.width || y < box.y || y >= box.y + box.height) continue;
        const LoadedPage* inner = FramePage(box.frame);
        if (!inner) return std::nullopt;
        return LinkOf(*inner, inner->layout.HitTest(x - box.x, y - box.y), box.frame);
    }
    return LinkOf(*top, top->layout.HitTest(x, y), kFrameIndexTop);
}

std::u16string PageSet::Text() const {
    std::u16string text;
    if (top) AppendText(*top, text);
    for (const FrameSlot& slot : frames) {
        if (slot.page) AppendText(*slot.page, text);
    }
    return text;
}

}  // namespace xcyh2::browser
