#include "browser/html/Url.h"

#include <vector>

namespace xcyh2::html {
namespace {

char16_t Lower(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c; }

std::u16string ToLower(std::u16string_view s) {
    std::u16string out(s);
    for (auto& c : out) c = Lower(c);
    return out;
}

bool IsHttp(std::u16string_view scheme) { return scheme == u"http" || scheme == u"https"; }

// Length of "scheme:" at the start of url, or 0.
std::size_t SchemeLength(std::u16string_view url) {
    auto alpha = [](char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); };
    if (url.empty() || !alpha(url[0])) return 0;
    for (std::size_t i = 1; i < url.size(); ++i) {
        char16_t c = url[i];
        if (c == u':') return i + 1;
        if (!alpha(c) && !(c >= u'0' && c <= u'9') && c != u'+' && c != u'-' && c != u'.') return 0;
    }
    return 0;
}

// Browsers drop surrounding blanks and control characters and every tab and line break from an
// address, and read '\' as '/' in http addresses.
std::u16string Clean(std::u16string_view url) {
    std::size_t begin = 0, end = url.size();
    while (begin < end && url[begin] <= u' ') ++begin;
    while (end > begin && url[end - 1] <= u' ') --end;
    std::u16string out;
    out.reserve(end - begin);
    for (std::size_t i = begin; i < end; ++i) {
        char16_t c = url[i];
        if (c == u'\t' || c == u'\n' || c == u'\r') continue;
        out.push_back(c == u'\\' ? u'/' : c);
    }
    return out;
}

// Removes "." and ".." segments from an absolute path.
std::u16string RemoveDots(std::u16string_view path) {
    std::vector<std::u16string_view> segments;
    std::size_t pos = 1;  // path starts with '/'
    bool trailingSlash = false;
    while (pos <= path.size()) {
        std::size_t slash = path.find(u'/', pos);
        if (slash == std::u16string_view::npos) slash = path.size();
        std::u16string_view seg = path.substr(pos, slash - pos);
        bool last = slash == path.size();
        if (seg == u"." || seg == u"%2e" || seg == u"%2E") {
            trailingSlash = last;
        } else if (seg == u".." || seg == u".%2e" || seg == u"%2e." || seg == u"%2e%2e") {
            if (!segments.empty()) segments.pop_back();
            trailingSlash = last;
        } else {
            segments.push_back(seg);
            trailingSlash = false;
        }
        pos = slash + 1;
    }
    std::u16string out;
    for (auto seg : segments) {
        out.push_back(u'/');
        out += seg;
    }
    if (trailingSlash || out.empty()) out.push_back(u'/');
    return out;
}

struct Parts {
    std::u16string scheme, authority, path, rest;  // rest: "?query#fragment" as written
};

// Splits an absolute http(s) address (already cleaned).
Parts Split(std::u16string_view url) {
    Parts p;
    std::size_t schemeLength = SchemeLength(url);
    p.scheme = ToLower(url.substr(0, schemeLength - 1));
    std::u16string_view after = url.substr(schemeLength);
    while (!after.empty() && after.front() == u'/') after.remove_prefix(1);
    std::size_t authorityEnd = after.find_first_of(u"/?#");
    if (authorityEnd == std::u16string_view::npos) authorityEnd = after.size();
    std::u16string_view authority = after.substr(0, authorityEnd);
    std::size_t at = authority.rfind(u'@');
    std::size_t hostStart = at == std::u16string_view::npos ? 0 : at + 1;
    p.authority = std::u16string(authority.substr(0, hostStart)) + ToLower(authority.substr(hostStart));
    std::u16string_view tail = after.substr(authorityEnd);
    std::size_t pathEnd = tail.find_first_of(u"?#");
    if (pathEnd == std::u16string_view::npos) pathEnd = tail.size();
    p.path = RemoveDots(tail.substr(0, pathEnd).empty() ? u"/" : tail.substr(0, pathEnd));
    p.rest = tail.substr(pathEnd);
    return p;
}

std::u16string Join(const Parts& p) { return p.scheme + u"://" + p.authority + p.path + p.rest; }

}  // namespace

std::u16string UrlScheme(std::u16string_view url) {
    std::size_t length = SchemeLength(url);
    return length ? ToLower(url.substr(0, length - 1)) : std::u16string();
}

std::u16string ResolveUrl(std::u16string_view base, std::u16string_view reference) {
    std::u16string refScheme = UrlScheme(Clean(reference));
    if (!refScheme.empty()) {
        // Commands such as "app://loadgame|..." must reach the shell exactly as written.
        if (!IsHttp(refScheme)) return std::u16string(reference);
        return Join(Split(Clean(reference)));
    }
    std::u16string cleanBase = Clean(base);
    if (!IsHttp(UrlScheme(cleanBase))) return std::u16string(reference);
    Parts b = Split(cleanBase);
    std::u16string ref = Clean(reference);

    if (ref.starts_with(u"//")) return Join(Split(b.scheme + u":" + ref));
    std::size_t hash = b.rest.find(u'#');
    std::u16string baseQuery = b.rest.substr(0, hash);
    if (ref.empty()) return b.scheme + u"://" + b.authority + b.path + baseQuery;
    if (ref[0] == u'#') return b.scheme + u"://" + b.authority + b.path + baseQuery + ref;
    if (ref[0] == u'?') return b.scheme + u"://" + b.authority + b.path + ref;

    std::size_t pathEnd = ref.find_first_of(u"?#");
    if (pathEnd == std::u16string::npos) pathEnd = ref.size();
    std::u16string path = ref.substr(0, pathEnd);
    if (path[0] != u'/') path = b.path.substr(0, b.path.rfind(u'/') + 1) + path;
    Parts r{b.scheme, b.authority, RemoveDots(path), ref.substr(pathEnd)};
    return Join(r);
}

}  // namespace xcyh2::html
