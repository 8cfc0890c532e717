// Splits page text into tags and text. Never fails: malformed markup becomes text or is dropped
// as a browser would, unterminated constructs end at the end of the input.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace xcyh2::html {

struct Attribute {
    std::u16string name;   // lower case
    std::u16string value;  // character references decoded
};

struct Token {
    enum class Kind { StartTag, EndTag, Text, EndOfInput };
    Kind kind = Kind::EndOfInput;
    std::u16string name;               // tags: lower-case tag name
    std::vector<Attribute> attributes; // start tags: first occurrence of each name only
    bool selfClosing = false;          // start tags written "<x/>"
    std::u16string text;               // text: character references decoded (none in script/style)

    // The value of attribute name (lower case), or nullptr.
    const std::u16string* Find(std::u16string_view name) const;
};

// Pull tokenizer over a text it does not own (keep the text alive while tokenizing).
// Comments, <!DOCTYPE>, <?...> and <!...> are skipped. After <script>, <style>, <xmp>,
// <iframe>, <noscript>, <noembed> and <noframes> the content up to the matching end tag is
// one raw text token; after <title> and <textarea> it is text with references decoded.
class Tokenizer {
public:
    explicit Tokenizer(std::u16string_view input) : in_(input) {}

    // Fills token with the next token; Kind::EndOfInput (and false) at the end.
    bool Next(Token& token);

private:
    bool ReadMarkup(Token& token);
    void ReadText(Token& token);
    void ReadRawText(Token& token);
    bool ReadTag(Token& token);
    void SkipBogusComment();
    void SkipComment();

    std::u16string_view in_;
    std::size_t pos_ = 0;
    std::u16string rawEnd_;   // tag name whose end tag ends the raw text now being read
    bool rawDecode_ = false;  // raw text with references decoded (title, textarea)
};

}  // namespace xcyh2::html
