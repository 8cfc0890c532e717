#include "browser/html/Document.h"

#include <algorithm>
#include <array>

namespace xcyh2::html {
namespace {

template <std::size_t N>
bool IsOneOf(std::u16string_view name, const std::array<std::u16string_view, N>& names) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

constexpr std::array<std::u16string_view, 15> kVoid = {
    u"area", u"base", u"br", u"col", u"embed", u"hr", u"img", u"input", u"link", u"meta",
    u"param", u"source", u"track", u"wbr", u"keygen"};

// Elements whose content the tokenizer reads as raw text: "<x/>" really is empty for them.
constexpr std::array<std::u16string_view, 9> kRawText = {
    u"script", u"style", u"xmp", u"iframe", u"noscript", u"noembed", u"noframes", u"title", u"textarea"};

// Starting one of these closes an open paragraph.
constexpr std::array<std::u16string_view, 30> kClosesParagraph = {
    u"p", u"div", u"h1", u"h2", u"h3", u"h4", u"h5", u"h6", u"ul", u"ol", u"li", u"dl", u"dt",
    u"dd", u"table", u"blockquote", u"pre", u"form", u"hr", u"address", u"section", u"article",
    u"header", u"footer", u"nav", u"aside", u"main", u"figure", u"fieldset", u"center"};

constexpr std::array<std::u16string_view, 36> kBlock = {
    u"html", u"body", u"p", u"div", u"h1", u"h2", u"h3", u"h4", u"h5", u"h6", u"ul", u"ol",
    u"li", u"dl", u"dt", u"dd", u"table", u"tr", u"blockquote", u"pre", u"form", u"hr",
    u"address", u"section", u"article", u"header", u"footer", u"nav", u"aside", u"main",
    u"figure", u"fieldset", u"center", u"caption", u"tbody", u"menu"};

// Block edges that keep a blank gap, as browsers' default margins do.
constexpr std::array<std::u16string_view, 14> kGap = {
    u"p", u"h1", u"h2", u"h3", u"h4", u"h5", u"h6", u"ul", u"ol", u"dl", u"blockquote",
    u"pre", u"hr", u"table"};

// Not shown: their text is no page content.
constexpr std::array<std::u16string_view, 11> kHidden = {
    u"head", u"script", u"style", u"title", u"template", u"noscript", u"noframes", u"noembed",
    u"select", u"textarea", u"datalist"};

int HeadingLevel(std::u16string_view name) {
    if (name.size() == 2 && name[0] == u'h' && name[1] >= u'1' && name[1] <= u'6') return name[1] - u'0';
    return 0;
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f'; }

std::u16string CollapseBlanks(std::u16string_view text) {
    std::u16string out;
    bool space = true;
    for (char16_t c : text) {
        if (IsBlank(c)) {
            if (!space) out.push_back(u' ');
            space = true;
        } else {
            out.push_back(c);
            space = false;
        }
    }
    if (!out.empty() && out.back() == u' ') out.pop_back();
    return out;
}

// A pixel length attribute ("120", "120px"); percentages and junk give fallback.
int PixelAttribute(const std::vector<Attribute>& attributes, std::u16string_view name, int fallback) {
    for (const auto& a : attributes) {
        if (a.name != name) continue;
        std::size_t i = 0;
        while (i < a.value.size() && IsBlank(a.value[i])) ++i;
        int value = 0;
        std::size_t digits = 0;
        for (; i < a.value.size() && a.value[i] >= u'0' && a.value[i] <= u'9'; ++i, ++digits)
            value = std::min(value * 10 + (a.value[i] - u'0'), 100000);
        if (digits == 0 || (i < a.value.size() && a.value[i] == u'%')) return fallback;
        return value;
    }
    return fallback;
}

const std::u16string* FindAttribute(const Node& node, std::u16string_view name) {
    for (const auto& a : node.attributes)
        if (a.name == name) return &a.value;
    return nullptr;
}

void AppendEscaped(std::u16string& out, std::u16string_view text, bool attribute) {
    for (char16_t c : text) {
        switch (c) {
        case u'&': out += u"&amp;"; break;
        case u'<': out += attribute ? u"<" : u"&lt;"; break;
        case u'>': out += attribute ? u">" : u"&gt;"; break;
        case u'"': out += attribute ? u"&quot;" : u"\""; break;
        case u'\u00A0': out += u"&nbsp;"; break;
        default: out.push_back(c);
        }
    }
}

// Builds the element tree from tokens, repairing misnested and unclosed markup.
class TreeBuilder {
public:
    TreeBuilder(std::vector<Node>& nodes, std::vector<int>& top) : nodes_(nodes), top_(top) {}

    void StartTag(Token& token) {
        const std::u16string& name = token.name;
        if (name == u"html" || name == u"head" || name == u"body") {
            // Only the first of each counts; later ones (and misplaced ones) are dropped.
            bool& seen = name == u"html" ? seenHtml_ : name == u"head" ? seenHead_ : seenBody_;
            if (seen) return;
            seen = true;
            if (name == u"html" && !open_.empty()) return;
        }
        if (IsOneOf(name, kClosesParagraph)) CloseIfOpen(u"p");
        if (HeadingLevel(name) && !open_.empty() && HeadingLevel(nodes_[open_.back()].name)) Pop(1);
        if (name == u"li") CloseIfOpen(u"li", {u"ul", u"ol"});
        if (name == u"dt" || name == u"dd") {
            CloseIfOpen(u"dt", {u"dl"});
            CloseIfOpen(u"dd", {u"dl"});
        }
        if (name == u"a") CloseIfOpen(u"a");
        if (name == u"option") CloseIfOpen(u"option", {u"select"});
        if (name == u"td" || name == u"th") {
            CloseIfOpen(u"td", {u"tr", u"table"});
            CloseIfOpen(u"th", {u"tr", u"table"});
        }
        if (name == u"tr") CloseIfOpen(u"tr", {u"table"});

        bool leaf = IsOneOf(name, kVoid) || (token.selfClosing && IsOneOf(name, kRawText));
        if (!leaf && static_cast<int>(open_.size()) >= Document::kMaxDepth) return;
        int index = Append(Node{Node::Kind::Element, name, std::move(token.attributes), {}, -1, {}});
        if (!leaf) open_.push_back(index);
    }

    void EndTag(const Token& token) {
        if (token.name == u"br") {  // "</br>" is a line break in every browser
            Token br;
            br.name = u"br";
            StartTag(br);
            return;
        }
        // Content after </body> or </html> still belongs to the page.
        if (token.name == u"html" || token.name == u"body") return;
        for (std::size_t i = open_.size(); i-- > 0;) {
            if (nodes_[open_[i]].name == token.name) {
                Pop(open_.size() - i);
                return;
            }
        }
    }

    void Text(const std::u16string& text) {
        std::vector<int>& siblings = open_.empty() ? top_ : nodes_[open_.back()].children;
        if (!siblings.empty() && nodes_[siblings.back()].kind == Node::Kind::Text) {
            nodes_[siblings.back()].text += text;
            return;
        }
        Append(Node{Node::Kind::Text, {}, {}, text, -1, {}});
    }

private:
    int Append(Node node) {
        int index = static_cast<int>(nodes_.size());
        node.parent = open_.empty() ? -1 : open_.back();
        nodes_.push_back(std::move(node));
        (open_.empty() ? top_ : nodes_[open_.back()].children).push_back(index);
        return index;
    }

    void Pop(std::size_t count) { open_.resize(open_.size() - std::min(count, open_.size())); }

    // Closes the innermost open element called name, unless one of the boundaries is nearer.
    void CloseIfOpen(std::u16string_view name, std::initializer_list<std::u16string_view> boundaries = {}) {
        for (std::size_t i = open_.size(); i-- > 0;) {
            const std::u16string& n = nodes_[open_[i]].name;
            if (n == name) {
                Pop(open_.size() - i);
                return;
            }
            if (std::find(boundaries.begin(), boundaries.end(), n) != boundaries.end()) return;
        }
    }

    std::vector<Node>& nodes_;
    std::vector<int>& top_;
    std::vector<int> open_;
    bool seenHtml_ = false, seenHead_ = false, seenBody_ = false;
};

// Turns the tree into title, links, frames and blocks in one walk.
class Extractor {
public:
    Extractor(const std::vector<Node>& nodes, std::u16string& title, std::vector<Link>& links,
              std::vector<Frame>& frames, std::vector<Block>& blocks)
        : nodes_(nodes), title_(title), links_(links), frames_(frames), blocks_(blocks) {}

    void Enter(int index) {
        const Node& node = nodes_[index];
        if (node.kind == Node::Kind::Text) {
            if (hidden_ == 0) AddText(node.text);
            return;
        }
        const std::u16string& name = node.name;
        if (name == u"title" && !haveTitle_) {
            haveTitle_ = true;
            std::u16string text;
            for (int child : node.children)
                if (nodes_[child].kind == Node::Kind::Text) text += nodes_[child].text;
            title_ = CollapseBlanks(text);
        }
        if (IsOneOf(name, kHidden) || name == u"iframe" || name == u"frame") ++hidden_;
        if (hidden_ > 0) {
            // A frame inside hidden content is not shown either.
            if ((name == u"iframe" || name == u"frame") && hidden_ == 1) AddFrame(node);
            return;
        }
        if (IsOneOf(name, kBlock)) Flush();
        if (IsOneOf(name, kGap)) gap_ = true;
        if (int level = HeadingLevel(name)) headings_.push_back(level);
        if (name == u"a") {
            int link = -1;
            if (const std::u16string* href = FindAttribute(node, u"href")) {
                const std::u16string* target = FindAttribute(node, u"target");
                links_.push_back(Link{*href, target ? *target : std::u16string(), {}});
                link = static_cast<int>(links_.size()) - 1;
            }
            linkStack_.push_back(link);
        } else if (name == u"br") {
            AddBreak();
        } else if (name == u"li") {
            AddText(u"\u2022 ");
        } else if ((name == u"td" || name == u"th") && !space_) {
            AddText(u" ");
        } else if (name == u"img") {
            if (const std::u16string* alt = FindAttribute(node, u"alt")) AddText(*alt);
        }
    }

    void Exit(int index) {
        const Node& node = nodes_[index];
        if (node.kind == Node::Kind::Text) return;
        const std::u16string& name = node.name;
        if (IsOneOf(name, kHidden) || name == u"iframe" || name == u"frame") {
            --hidden_;
            return;
        }
        if (hidden_ > 0) return;
        if (IsOneOf(name, kBlock)) Flush();
        if (IsOneOf(name, kGap)) gap_ = true;
        if (HeadingLevel(name) && !headings_.empty()) headings_.pop_back();
        if (name == u"a" && !linkStack_.empty()) {
            if (linkStack_.back() >= 0) {
                std::u16string& text = links_[linkStack_.back()].text;
                if (!text.empty() && text.back() == u' ') text.pop_back();
            }
            linkStack_.pop_back();
        }
    }

    void Finish() { Flush(); }

private:
    FontClass Font() const {
        return FontClass{headings_.empty() ? 0 : headings_.back(), CurrentLink() >= 0};
    }
    int CurrentLink() const { return linkStack_.empty() ? -1 : linkStack_.back(); }

    InlineRun& RunFor(InlineRun::Kind kind) {
        FontClass font = Font();
        int link = CurrentLink();
        auto& runs = block_.runs;
        if (kind == InlineRun::Kind::Text && !runs.empty() && runs.back().kind == kind &&
            runs.back().font == font && runs.back().link == link)
            return runs.back();
        runs.push_back(InlineRun{kind, {}, font, link});
        return runs.back();
    }

    void AddText(std::u16string_view text) {
        InlineRun* run = nullptr;
        std::u16string* linkText = CurrentLink() >= 0 ? &links_[CurrentLink()].text : nullptr;
        for (char16_t c : text) {
            bool blank = IsBlank(c);
            if (blank && space_) continue;
            if (!run) run = &RunFor(InlineRun::Kind::Text);
            run->text.push_back(blank ? u' ' : c);
            if (linkText && !(blank && linkText->empty())) linkText->push_back(blank ? u' ' : c);
            space_ = blank;
        }
    }

    void AddBreak() {
        TrimTrailingSpace();
        RunFor(InlineRun::Kind::LineBreak);
        space_ = true;
    }

    void TrimTrailingSpace() {
        auto& runs = block_.runs;
        if (!runs.empty() && runs.back().kind == InlineRun::Kind::Text && !runs.back().text.empty() &&
            runs.back().text.back() == u' ') {
            runs.back().text.pop_back();
            if (runs.back().text.empty()) runs.pop_back();
        }
    }

    void AddFrame(const Node& node) {
        Flush();
        const std::u16string* src = FindAttribute(node, u"src");
        frames_.push_back(Frame{src ? *src : std::u16string(), PixelAttribute(node.attributes, u"width", 300),
                                PixelAttribute(node.attributes, u"height", 150)});
        Block block;
        block.kind = Block::Kind::Frame;
        block.frame = static_cast<int>(frames_.size()) - 1;
        block.gapBefore = gap_ && !blocks_.empty();
        gap_ = false;
        blocks_.push_back(std::move(block));
    }

    void Flush() {
        TrimTrailingSpace();
        space_ = true;
        if (block_.runs.empty()) return;
        block_.gapBefore = gap_ && !blocks_.empty();
        gap_ = false;
        blocks_.push_back(std::move(block_));
        block_ = Block();
    }

    const std::vector<Node>& nodes_;
    std::u16string& title_;
    std::vector<Link>& links_;
    std::vector<Frame>& frames_;
    std::vector<Block>& blocks_;
    Block block_;
    bool space_ = true;  // the last character placed was a blank (or none yet on this line)
    bool gap_ = false;
    bool haveTitle_ = false;
    int hidden_ = 0;
    std::vector<int> headings_;
    std::vector<int> linkStack_;
};

// Calls enter and exit for every node in document order without recursion.
template <typename Enter, typename Exit>
void Walk(const std::vector<Node>& nodes, const std::vector<int>& roots, Enter enter, Exit exit) {
    struct Level {
        const std::vector<int>* children;
        std::size_t next;
        int node;
    };
    std::vector<Level> stack{{&roots, 0, -1}};
    while (!stack.empty()) {
        Level& f = stack.back();
        if (f.next == f.children->size()) {
            int node = f.node;
            stack.pop_back();
            if (node >= 0) exit(node);
            continue;
        }
        int child = (*f.children)[f.next++];
        if (enter(child)) stack.push_back({&nodes[child].children, 0, child});
    }
}

}  // namespace

Document Document::Parse(std::u16string_view text) {
    Document doc;
    doc.Build(text);
    doc.Extract();
    return doc;
}

Document Document::Load(std::string_view bytes, std::string_view contentTypeHeader, const LegacyDecoder& legacy) {
    DecodedPage page = DecodePage(bytes, contentTypeHeader, legacy);
    Document doc = Parse(page.text);
    doc.charset_ = page.charset;
    return doc;
}

void Document::Build(std::u16string_view text) {
    TreeBuilder builder(nodes_, top_);
    Tokenizer tokenizer(text);
    Token token;
    while (tokenizer.Next(token)) {
        switch (token.kind) {
        case Token::Kind::StartTag: builder.StartTag(token); break;
        case Token::Kind::EndTag: builder.EndTag(token); break;
        case Token::Kind::Text: builder.Text(token.text); break;
        case Token::Kind::EndOfInput: break;
        }
    }
}

void Document::Extract() {
    Extractor extractor(nodes_, title_, links_, frames_, blocks_);
    Walk(
        nodes_, top_,
        [&](int node) {
            extractor.Enter(node);
            if (nodes_[node].kind == Node::Kind::Text) {
                extractor.Exit(node);
                return false;
            }
            return true;
        },
        [&](int node) { extractor.Exit(node); });
    extractor.Finish();
}

std::u16string Document::RootInnerHtml() const {
    std::u16string out;
    // The <html> element stands for the root; anything outside it is content of the root too.
    std::vector<int> roots;
    for (int node : top_) {
        if (nodes_[node].kind == Node::Kind::Element && nodes_[node].name == u"html")
            roots.insert(roots.end(), nodes_[node].children.begin(), nodes_[node].children.end());
        else
            roots.push_back(node);
    }
    Walk(
        nodes_, roots,
        [&](int index) {
            const Node& node = nodes_[index];
            if (node.kind == Node::Kind::Text) {
                bool raw = node.parent >= 0 && IsOneOf(nodes_[node.parent].name, kRawText) &&
                           nodes_[node.parent].name != u"title" && nodes_[node.parent].name != u"textarea";
                if (raw) out += node.text;
                else AppendEscaped(out, node.text, false);
                return false;
            }
            out.push_back(u'<');
            out += node.name;
            for (const auto& a : node.attributes) {
                out.push_back(u' ');
                out += a.name;
                out += u"=\"";
                AppendEscaped(out, a.value, true);
                out.push_back(u'"');
            }
            out.push_back(u'>');
            return true;
        },
        [&](int index) {
            const Node& node = nodes_[index];
            if (IsOneOf(node.name, kVoid)) return;
            out += u"</";
            out += node.name;
            out.push_back(u'>');
        });
    std::size_t begin = 0, end = out.size();
    while (begin < end && IsBlank(out[begin])) ++begin;
    while (end > begin && IsBlank(out[end - 1])) --end;
    return out.substr(begin, end - begin);
}

}  // namespace xcyh2::html
