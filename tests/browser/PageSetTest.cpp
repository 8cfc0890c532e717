#include "browser/PageSet.h"

#include <gtest/gtest.h>

namespace xcyh2::browser {
namespace {

// Every character 10 px wide, every line 20 px high.
class FixedMeasurer : public html::TextMeasurer {
public:
    int TextWidth(std::u16string_view text, const html::FontClass&) override { return 10 * int(text.size()); }
    int LineHeight(const html::FontClass&) override { return 20; }
};

LoadedPage Page(std::u16string url, std::u16string_view html, int width) {
    FixedMeasurer measurer;
    html::LayoutOptions options;
    options.viewportWidth = width;
    LoadedPage page{std::move(url), html::Document::Parse(html), {}, width};
    page.layout = html::LayOut(page.doc, measurer, options);
    return page;
}

TEST(PageSetTest, LinksAreFoundInTheTopPageAndInsideFramesAgainstTheirOwnAddress) {
    PageSet pages;
    pages.top = Page(u"http://h/dir/top.html",
                     u"<a href=a.html target=t>Top</a><iframe src=f.html width=200 height=100></iframe>", 400);
    pages.frames.resize(1);
    ASSERT_EQ(pages.top->layout.frames.size(), 1u);
    const html::PlacedFrame box = pages.top->layout.frames[0];
    const html::PlacedRun topRun = pages.top->layout.runs.at(0);

    // Before the frame's document came, its box holds no link.
    EXPECT_FALSE(pages.LinkAt(box.x + 12, box.y + 12));
    pages.frames[0].page = Page(u"http://h/other/f.html", u"<a href=../b.html target=_top>In</a>", box.width);
    const html::PlacedRun innerRun = pages.FramePage(0)->layout.runs.at(0);

    struct Case {
        int x, y;
        bool found;
        std::u16string url, target;
        int frame;
    } cases[] = {
        {topRun.x + 1, topRun.y + 1, true, u"http://h/dir/a.html", u"t", kFrameIndexTop},
        {box.x + innerRun.x + 1, box.y + innerRun.y + 1, true, u"http://h/b.html", u"_top", 0},
        {box.x + box.width - 2, box.y + box.height - 2, false, u"", u"", 0},  // in the frame, off its link
        {topRun.x + topRun.width + 50, topRun.y + 1, false, u"", u"", 0},  // beside the top link
    };
    for (const Case& c : cases) {
        std::optional<LinkHit> hit = pages.LinkAt(c.x, c.y);
        ASSERT_EQ(hit.has_value(), c.found) << c.x << "," << c.y;
        if (!hit) continue;
        EXPECT_EQ(hit->url, c.url);
        EXPECT_EQ(hit->target, c.target);
        EXPECT_EQ(hit->frame, c.frame);
    }
    EXPECT_EQ(pages.Text(), u"Top\nIn\n");
}

}  // namespace
}  // namespace xcyh2::browser
