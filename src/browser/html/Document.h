// The built-in engine's document: a page parsed into a small element tree, plus what the
// browser needs from it (title, links, inline frames, root content) and the text flattened
// into blocks for layout. Window-free; the window side fetches, lays out (Layout.h) and paints.
//
// Usage:
//     using namespace xcyh2::html;
//     // bytes: the response body; contentType: its Content-Type header ("" if none);
//     // legacy: decodes GBK, on Windows via MultiByteToWideChar(936, ...).
//     Document doc = Document::Load(bytes, contentType, legacy);
//     if (doc.RootInnerHtml().empty()) { /* nothing came: "empty document" handling */ }
//     std::u16string title = doc.Title();
//     for (const Frame& f : doc.Frames())
//         Fetch(ResolveUrl(pageUrl, f.src));                 // Url.h
//     PageLayout page = LayOut(doc, measurer, {clientWidth}); // Layout.h
//     int link = page.HitTest(x, y);                          // -1: no link there
//     if (link >= 0) {
//         const Link& l = doc.Links()[link];
//         std::u16string address = ResolveUrl(pageUrl, l.href); // app:// stays as written
//         bool newWindow = l.target == u"_blank";
//     }
//
// Strings are UTF-16 (std::u16string); on Windows, wchar_t strings hold the same code units:
//     std::wstring w(s.begin(), s.end());
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "browser/html/Charset.h"
#include "browser/html/Tokenizer.h"

namespace xcyh2::html {

// Text style class that the window side maps to a font: normal text, a heading level, a link.
struct FontClass {
    int heading = 0;    // 0: not in a heading; 1-6: inside <h1>-<h6>
    bool link = false;  // inside <a href>
    friend bool operator==(const FontClass&, const FontClass&) = default;
};

struct Link {
    std::u16string href;    // as written (references decoded); resolve with ResolveUrl
    std::u16string target;  // as written, e.g. "_blank"; "" when absent
    std::u16string text;    // the link's text, blanks collapsed
};

struct Frame {
    std::u16string src;  // as written (references decoded); may be ""
    int width = 300;     // from the width/height attributes (pixels), else these defaults
    int height = 150;
};

// A piece of inline content inside a block.
struct InlineRun {
    enum class Kind { Text, LineBreak };
    Kind kind = Kind::Text;
    std::u16string text;  // Kind::Text: blanks already collapsed to single spaces
    FontClass font;
    int link = -1;        // index into Document::Links(), or -1
};

// A block of the page in document order: a run of text lines, or an inline frame's box.
struct Block {
    enum class Kind { Text, Frame };
    Kind kind = Kind::Text;
    bool gapBefore = false;         // a paragraph, heading or list edge lies between this
                                    // block and the one before it: keep a blank gap
    std::vector<InlineRun> runs;    // Kind::Text
    int frame = -1;                 // Kind::Frame: index into Document::Frames()
};

// One node of the element tree. Nodes live in one vector; links between them are indexes,
// so no walk over the tree recurses.
struct Node {
    enum class Kind { Element, Text };
    Kind kind = Kind::Text;
    std::u16string name;              // element: lower-case tag name
    std::vector<Attribute> attributes;
    std::u16string text;              // text: decoded text
    int parent = -1;                  // -1: top level
    std::vector<int> children;
};

class Document {
public:
    // Elements nested deeper than this are not opened; their content goes to the deepest
    // element that is. Keeps hostile pages from costing stack or quadratic time.
    static constexpr int kMaxDepth = 256;

    Document() = default;

    // Parses decoded page text. Never fails.
    static Document Parse(std::u16string_view text);

    // Detects the charset (Charset.h), decodes and parses.
    static Document Load(std::string_view bytes, std::string_view contentTypeHeader,
                         const LegacyDecoder& legacy);

    // The content of the root element (<html>, or the whole page when it has none) written back
    // as HTML, without comments and without the blanks around it. "" means the page has nothing
    // in it: a 0-byte response, only blanks, only comments/doctype, or an empty <html></html>.
    // Any element or visible text makes it non-empty ("<p></p>" counts as content).
    std::u16string RootInnerHtml() const;

    // The first <title>'s text with blanks collapsed and trimmed; "" if none.
    const std::u16string& Title() const { return title_; }

    const std::vector<Link>& Links() const { return links_; }
    const std::vector<Frame>& Frames() const { return frames_; }
    const std::vector<Block>& Blocks() const { return blocks_; }
    const std::vector<Node>& Nodes() const { return nodes_; }
    // Top-level nodes in document order.
    const std::vector<int>& TopLevel() const { return top_; }
    Charset PageCharset() const { return charset_; }

private:
    void Build(std::u16string_view text);
    void Extract();

    std::vector<Node> nodes_;
    std::vector<int> top_;
    std::u16string title_;
    std::vector<Link> links_;
    std::vector<Frame> frames_;
    std::vector<Block> blocks_;
    Charset charset_ = Charset::Utf8;
};

}  // namespace xcyh2::html
