#include "browser/html/Tokenizer.h"

#include <array>

#include "browser/html/Entities.h"

namespace xcyh2::html {
namespace {

// Attributes beyond this many on one tag are dropped (duplicate checks are linear).
constexpr std::size_t kMaxAttributes = 64;

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f'; }
bool IsAsciiAlpha(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
char16_t Lower(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c; }

void AppendLower(std::u16string& out, std::u16string_view s) {
    for (char16_t c : s) out.push_back(Lower(c));
}

bool StartsWithNoCase(std::u16string_view s, std::u16string_view lowerPrefix) {
    if (s.size() < lowerPrefix.size()) return false;
    for (std::size_t i = 0; i < lowerPrefix.size(); ++i)
        if (Lower(s[i]) != lowerPrefix[i]) return false;
    return true;
}

struct RawElement {
    std::u16string_view name;
    bool decode;
};
constexpr std::array<RawElement, 9> kRawElements = {{
    {u"script", false}, {u"style", false}, {u"xmp", false}, {u"iframe", false},
    {u"noscript", false}, {u"noembed", false}, {u"noframes", false},
    {u"title", true}, {u"textarea", true},
}};

}  // namespace

const std::u16string* Token::Find(std::u16string_view attributeName) const {
    for (const auto& a : attributes)
        if (a.name == attributeName) return &a.value;
    return nullptr;
}

bool Tokenizer::Next(Token& token) {
    token.name.clear();
    token.attributes.clear();
    token.text.clear();
    token.selfClosing = false;
    while (pos_ < in_.size()) {
        if (!rawEnd_.empty()) {
            ReadRawText(token);
            if (!token.text.empty()) return true;
            continue;
        }
        if (in_[pos_] == u'<') {
            if (ReadMarkup(token)) return true;
            continue;
        }
        ReadText(token);
        if (!token.text.empty()) return true;
    }
    token.kind = Token::Kind::EndOfInput;
    return false;
}

// At '<': a tag (true, token filled), something skipped (false), or a plain '<' of the text.
bool Tokenizer::ReadMarkup(Token& token) {
    std::u16string_view rest = in_.substr(pos_);
    if (rest.size() >= 2 && IsAsciiAlpha(rest[1])) return ReadTag(token);
    if (rest.size() >= 3 && rest[1] == u'/' && IsAsciiAlpha(rest[2])) return ReadTag(token);
    if (rest.starts_with(u"</>")) {
        pos_ += 3;
        return false;
    }
    if (rest.starts_with(u"<!--")) {
        SkipComment();
        return false;
    }
    if (rest.starts_with(u"<!") || rest.starts_with(u"<?") || (rest.starts_with(u"</") && rest.size() > 2)) {
        SkipBogusComment();
        return false;
    }
    // A '<' that opens nothing is text.
    token.kind = Token::Kind::Text;
    token.text.push_back(u'<');
    ++pos_;
    ReadText(token);
    return true;
}

void Tokenizer::ReadText(Token& token) {
    token.kind = Token::Kind::Text;
    std::size_t start = pos_;
    while (pos_ < in_.size()) {
        std::size_t lt = in_.find(u'<', pos_);
        if (lt == std::u16string_view::npos) {
            pos_ = in_.size();
            break;
        }
        pos_ = lt;
        std::u16string_view rest = in_.substr(lt);
        bool markup = rest.size() >= 2 &&
                      (IsAsciiAlpha(rest[1]) || rest[1] == u'!' || rest[1] == u'?' ||
                       (rest[1] == u'/' && rest.size() >= 3));
        if (markup) break;
        ++pos_;  // a lone '<' stays in the text
    }
    AppendDecoded(token.text, in_.substr(start, pos_ - start));
}

void Tokenizer::ReadRawText(Token& token) {
    token.kind = Token::Kind::Text;
    std::size_t start = pos_, end = in_.size(), search = pos_;
    while (search < in_.size()) {
        std::size_t lt = in_.find(u"</", search);
        if (lt == std::u16string_view::npos) break;
        std::u16string_view rest = in_.substr(lt + 2);
        if (StartsWithNoCase(rest, rawEnd_) &&
            (rest.size() == rawEnd_.size() || IsBlank(rest[rawEnd_.size()]) || rest[rawEnd_.size()] == u'/' ||
             rest[rawEnd_.size()] == u'>')) {
            end = lt;
            break;
        }
        search = lt + 2;
    }
    std::u16string_view raw = in_.substr(start, end - start);
    if (rawDecode_) AppendDecoded(token.text, raw);
    else token.text.assign(raw);
    pos_ = end;
    rawEnd_.clear();  // the end tag itself is read as an ordinary tag next
}

bool Tokenizer::ReadTag(Token& token) {
    std::size_t p = pos_ + 1;
    bool end = in_[p] == u'/';
    if (end) ++p;
    std::size_t nameStart = p;
    while (p < in_.size() && !IsBlank(in_[p]) && in_[p] != u'/' && in_[p] != u'>') ++p;
    token.kind = end ? Token::Kind::EndTag : Token::Kind::StartTag;
    AppendLower(token.name, in_.substr(nameStart, p - nameStart));

    for (;;) {
        while (p < in_.size() && IsBlank(in_[p])) ++p;
        if (p >= in_.size()) break;
        if (in_[p] == u'>') {
            pos_ = p + 1;
            if (!end) {
                for (const auto& raw : kRawElements) {
                    if (token.name == raw.name && !token.selfClosing) {
                        rawEnd_ = raw.name;
                        rawDecode_ = raw.decode;
                    }
                }
            }
            if (end) {
                token.attributes.clear();
                token.selfClosing = false;
            }
            return true;
        }
        if (in_[p] == u'/') {
            ++p;
            token.selfClosing = p < in_.size() && in_[p] == u'>';
            continue;
        }
        token.selfClosing = false;
        // Attribute name; a leading '=' belongs to it.
        std::size_t attrStart = p++;
        while (p < in_.size() && !IsBlank(in_[p]) && in_[p] != u'/' && in_[p] != u'>' && in_[p] != u'=') ++p;
        Attribute attr;
        AppendLower(attr.name, in_.substr(attrStart, p - attrStart));
        while (p < in_.size() && IsBlank(in_[p])) ++p;
        if (p < in_.size() && in_[p] == u'=') {
            ++p;
            while (p < in_.size() && IsBlank(in_[p])) ++p;
            std::size_t valueStart = p, valueEnd;
            if (p < in_.size() && (in_[p] == u'"' || in_[p] == u'\'')) {
                char16_t quote = in_[p];
                valueStart = ++p;
                std::size_t close = in_.find(quote, p);
                valueEnd = close == std::u16string_view::npos ? in_.size() : close;
                p = close == std::u16string_view::npos ? in_.size() : close + 1;
            } else {
                while (p < in_.size() && !IsBlank(in_[p]) && in_[p] != u'>') ++p;
                valueEnd = p;
            }
            AppendDecoded(attr.value, in_.substr(valueStart, valueEnd - valueStart), true);
        }
        if (!end && token.attributes.size() < kMaxAttributes && !token.Find(attr.name))
            token.attributes.push_back(std::move(attr));
    }
    // The input ended inside the tag: the unfinished tag is dropped.
    pos_ = in_.size();
    token.name.clear();
    token.attributes.clear();
    return false;
}

void Tokenizer::SkipComment() {
    std::size_t p = pos_ + 4;
    if (in_.substr(p).starts_with(u">")) {
        pos_ = p + 1;
        return;
    }
    if (in_.substr(p).starts_with(u"->")) {
        pos_ = p + 2;
        return;
    }
    std::size_t close = in_.find(u"-->", p);
    std::size_t bang = in_.find(u"--!>", p);
    if (bang < close) close = bang + 1;
    pos_ = close == std::u16string_view::npos ? in_.size() : close + 3;
}

void Tokenizer::SkipBogusComment() {
    std::size_t close = in_.find(u'>', pos_);
    pos_ = close == std::u16string_view::npos ? in_.size() : close + 1;
}

}  // namespace xcyh2::html
