#include "browser/ErrorPage.h"

namespace xcyh2::browser {

std::u16string EscapeHtml(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (char16_t c : text) {
        switch (c) {
            case u'<': out += u"&lt;"; break;
            case u'>': out += u"&gt;"; break;
            case u'&': out += u"&amp;"; break;
            case u'"': out += u"&quot;"; break;
            default: out += c; break;
        }
    }
    return out;
}

namespace {

std::u16string Number(int n) {
    std::u16string digits;
    unsigned v = n < 0 ? 0u : static_cast<unsigned>(n);
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + v % 10));
        v /= 10;
    } while (v != 0);
    return digits;
}

}  // namespace

std::u16string ErrorPageHtml(std::u16string_view url, PageError error, int httpStatus) {
    std::u16string reason;
    switch (error) {
        case PageError::kNoConnection: reason = u"无法连接到服务器，或服务器没有响应。"; break;
        case PageError::kHttpStatus: reason = u"服务器返回错误 " + Number(httpStatus) + u"。"; break;
        case PageError::kEmptyResponse: reason = u"服务器没有返回任何内容就断开了连接。"; break;
        case PageError::kUnsupported: reason = u"无法打开这种地址。"; break;
    }
    std::u16string page = u"<html><head><title>无法显示此网页</title></head><body>"
                          u"<h1>无法显示此网页</h1><p>";
    page += reason;
    page += u"</p><p>地址：";
    page += EscapeHtml(url);
    page += u"</p><p>请检查网络连接，然后刷新页面。</p></body></html>";
    return page;
}

}  // namespace xcyh2::browser
