// Lays a document's blocks into lines for a given width: word wrap at blanks for Latin text and
// between any two CJK characters; long words are cut where they overflow. Window-free: the
// window side supplies text widths for its fonts.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "browser/html/Document.h"

namespace xcyh2::html {

// Font metrics of the window side, in pixels (e.g. GetTextExtentPoint32W and TEXTMETRIC).
class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;
    virtual int TextWidth(std::u16string_view text, const FontClass& font) = 0;
    virtual int LineHeight(const FontClass& font) = 0;
};

struct LayoutOptions {
    int viewportWidth = 0;  // client width in pixels
    int margin = 8;         // blank space around the page, at 100 %
    int blockGap = 8;       // between a spaced block (paragraph, heading, list) and its neighbours, at 100 %
    int zoom = 100;         // per cent: margins, gaps and frame boxes grow with it, as the measurer's fonts do
};

// A length given at 100 %, in pixels at zoom per cent (halves to even).
int Zoomed(int pixels, int zoom);

// A run of text at its place. Runs of one line share their y and bottom edge.
struct PlacedRun {
    int x = 0, y = 0, width = 0, height = 0;
    std::u16string text;
    FontClass font;
    int link = -1;  // index into Document::Links(), or -1
};

// An inline frame's box; the window side shows the frame's own document there.
struct PlacedFrame {
    int frame = -1;  // index into Document::Frames()
    int x = 0, y = 0, width = 0, height = 0;
};

struct LayoutLine {
    int y = 0, height = 0;
    std::size_t firstRun = 0, runCount = 0;  // into PageLayout::runs
};

struct PageLayout {
    std::vector<PlacedRun> runs;     // in reading order
    std::vector<LayoutLine> lines;   // top to bottom
    std::vector<PlacedFrame> frames;
    int width = 0;   // widest line or frame, plus margins (at least the viewport width)
    int height = 0;  // document height, margins included

    // The link under the point (page coordinates), or -1.
    int HitTest(int x, int y) const;

    // Lines that meet the band [top, bottom): [first, last) indexes into lines, for painting.
    std::pair<std::size_t, std::size_t> LinesBetween(int top, int bottom) const;
};

PageLayout LayOut(const Document& document, TextMeasurer& measurer, const LayoutOptions& options);

}  // namespace xcyh2::html
