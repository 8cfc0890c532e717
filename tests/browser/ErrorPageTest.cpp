#include "browser/ErrorPage.h"

#include <gtest/gtest.h>

#include "browser/html/Document.h"

namespace xcyh2::browser {
namespace {

TEST(ErrorPageTest, HasContentTitleAndTheAddressAsText) {
    // An address that would be markup if it were not escaped.
    std::u16string url = u"http://h/<b>x</b>?a=1&b=\"2\"";
    html::Document doc = html::Document::Parse(ErrorPageHtml(url, PageError::kHttpStatus, 404));
    EXPECT_FALSE(doc.RootInnerHtml().empty());
    EXPECT_EQ(doc.Title(), u"无法显示此网页");
    std::u16string text;
    for (const html::Block& block : doc.Blocks())
        for (const html::InlineRun& run : block.runs) text += run.text;
    EXPECT_NE(text.find(url), std::u16string::npos);
    EXPECT_NE(text.find(u"404"), std::u16string::npos);
    EXPECT_TRUE(doc.Links().empty());
}

TEST(ErrorPageTest, EveryReasonGivesAPage) {
    for (PageError e : {PageError::kNoConnection, PageError::kEmptyResponse, PageError::kUnsupported}) {
        EXPECT_FALSE(html::Document::Parse(ErrorPageHtml(u"app://x", e)).RootInnerHtml().empty());
    }
}

}  // namespace
}  // namespace xcyh2::browser
