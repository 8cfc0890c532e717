#include <gtest/gtest.h>

#include "browser/html/Url.h"

using xcyh2::html::ResolveUrl;
using xcyh2::html::UrlScheme;

TEST(Url, ResolvesAgainstThePageAddress) {
    const std::u16string base = u"http://127.0.0.1:47180/xcyh2/login/login.html?x=1#top";
    EXPECT_EQ(ResolveUrl(base, u"news.html"), u"http://127.0.0.1:47180/xcyh2/login/news.html");
    EXPECT_EQ(ResolveUrl(base, u"./a/./b.html"), u"http://127.0.0.1:47180/xcyh2/login/a/b.html");
    EXPECT_EQ(ResolveUrl(base, u"../game1.html"), u"http://127.0.0.1:47180/xcyh2/game1.html");
    EXPECT_EQ(ResolveUrl(base, u"../../../../up.html"), u"http://127.0.0.1:47180/up.html");
    EXPECT_EQ(ResolveUrl(base, u".."), u"http://127.0.0.1:47180/xcyh2/");
    EXPECT_EQ(ResolveUrl(base, u"/xcyh2/login/help.html?next=app://minimize"),
              u"http://127.0.0.1:47180/xcyh2/login/help.html?next=app://minimize");
    EXPECT_EQ(ResolveUrl(base, u"//other.example/p?q#f"), u"http://other.example/p?q#f");
    EXPECT_EQ(ResolveUrl(base, u"?y=2"), u"http://127.0.0.1:47180/xcyh2/login/login.html?y=2");
    EXPECT_EQ(ResolveUrl(base, u"#news"), u"http://127.0.0.1:47180/xcyh2/login/login.html?x=1#news");
    EXPECT_EQ(ResolveUrl(base, u""), u"http://127.0.0.1:47180/xcyh2/login/login.html?x=1");
    EXPECT_EQ(ResolveUrl(base, u"  a b.html\n"), u"http://127.0.0.1:47180/xcyh2/login/a b.html");
    EXPECT_EQ(ResolveUrl(base, u"..\\win.html"), u"http://127.0.0.1:47180/xcyh2/win.html");
    EXPECT_EQ(ResolveUrl(u"http://h", u"a"), u"http://h/a");
    EXPECT_EQ(ResolveUrl(u"http://h/dir/", u"a?b/../c"), u"http://h/dir/a?b/../c");
}

TEST(Url, AbsoluteHttpAddressesAreTidied) {
    EXPECT_EQ(ResolveUrl(u"http://h/a", u"HTTP://Example.COM"), u"http://example.com/");
    EXPECT_EQ(ResolveUrl(u"http://h/a", u"https://User@Host/a/../b/./c/"), u"https://User@host/b/c/");
    EXPECT_EQ(ResolveUrl(u"", u"http://h/x?A=B"), u"http://h/x?A=B");
}

TEST(Url, OtherSchemesPassUntouched) {
    const std::u16string base = u"http://h/login/login.html";
    for (std::u16string ref : {u"app://loadgame|http://h/xcyh2/game1.html|s1", u"app://exitgame",
                               u"APP://Minimize ", u"javascript:void(0)", u"about:blank", u"mailto:a@b"}) {
        EXPECT_EQ(ResolveUrl(base, ref), ref);
    }
    // Relative references against a base we cannot resolve against stay as written.
    EXPECT_EQ(ResolveUrl(u"about:blank", u"x.html"), u"x.html");
    EXPECT_EQ(ResolveUrl(u"app://loadgame|x", u"../y"), u"../y");
    EXPECT_EQ(UrlScheme(u"App://x"), u"app");
    EXPECT_EQ(UrlScheme(u"/a:b"), u"");
    EXPECT_EQ(UrlScheme(u"a b:c"), u"");
}
