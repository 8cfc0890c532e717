#include "browser/html/Layout.h"

#include <algorithm>
#include <unordered_map>

#include "base/rounding.h"

namespace xcyh2::html {
namespace {

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Characters between which a line may break without a blank: ideographs, kana, hangul,
// CJK and full-width punctuation, and the supplementary ideograph planes.
bool IsCjk(char16_t c) {
    return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFFEF) || (c >= 0xD840 && c <= 0xD8BF);
}

// Closing punctuation never starts a line; opening punctuation never ends one.
bool NoBreakBefore(char16_t c) {
    static constexpr std::u16string_view kSet = u"，。、；：？！）」』】〉》〕”’…～·．,.!?;:)]}%";
    return kSet.find(c) != std::u16string_view::npos;
}
bool NoBreakAfter(char16_t c) {
    static constexpr std::u16string_view kSet = u"（「『【〈《〔“‘([{";
    return kSet.find(c) != std::u16string_view::npos;
}

std::size_t UnitLength(std::u16string_view text, std::size_t i) {
    return (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) ? 2 : 1;
}

// A piece of a line: a word, a blank, or one CJK character.
struct Piece {
    const InlineRun* run = nullptr;
    std::size_t start = 0, length = 0;
    int width = 0;
    bool blank = false;
    bool breakBefore = false;  // a line may start with this piece
    std::u16string_view Text() const { return std::u16string_view(run->text).substr(start, length); }
};

class LineBreaker {
public:
    LineBreaker(TextMeasurer& measurer, const LayoutOptions& options, PageLayout& page)
        : measurer_(measurer), page_(page), left_(options.margin),
          width_(std::max(1, options.viewportWidth - 2 * options.margin)) {}

    int y = 0;

    void Text(const InlineRun& run) {
        std::u16string_view text = run.text;
        std::size_t i = 0;
        while (i < text.size()) {
            Piece p{&run, i, 0, 0, false};
            bool cjk = false;
            if (text[i] == u' ') {
                p.length = 1;
                p.blank = true;
            } else if (IsCjk(text[i])) {
                p.length = UnitLength(text, i);
                cjk = true;
            } else {
                std::size_t j = i;
                while (j < text.size() && text[j] != u' ' && !IsCjk(text[j])) j += UnitLength(text, j);
                p.length = j - i;
            }
            i += p.length;
            bool single = p.blank || cjk || p.length == 1;
            p.width = single ? CharWidth(p.Text(), run.font) : measurer_.TextWidth(p.Text(), run.font);
            Add(p, cjk);
        }
    }

    // Ends the current line, even when it is empty (a line break on its own gives an empty line).
    void Break() {
        if (line_.empty()) {
            int h = LineHeight(FontClass{});
            page_.lines.push_back(LayoutLine{y, h, page_.runs.size(), 0});
            y += h;
        } else {
            FinishLine(line_.size());
        }
        prevCjk_ = false;
        prevLast_ = 0;
    }

    // Ends the block: the current line only if it has something on it.
    void EndBlock() {
        if (!line_.empty()) FinishLine(line_.size());
        prevCjk_ = false;
        prevLast_ = 0;
    }

    int widest = 0;

private:
    void Add(Piece p, bool cjk) {
        char16_t first = p.Text().front();
        bool breakable = !line_.empty() &&
                         (line_.back().blank ||
                          ((prevCjk_ || cjk) && !NoBreakBefore(first) && !NoBreakAfter(prevLast_)));
        prevCjk_ = cjk;
        prevLast_ = p.Text().back();
        p.breakBefore = breakable;
        if (p.blank) {
            if (line_.empty()) return;  // no blank at the start of a line
            line_.push_back(p);
            x_ += p.width;
            return;
        }
        if (breakable) lastBreak_ = line_.size();
        if (x_ + p.width <= width_) {
            line_.push_back(p);
            x_ += p.width;
            return;
        }
        // Overflow: break at the last opportunity, or right here when there is none.
        if (!line_.empty()) {
            FinishLine(lastBreak_ > 0 ? lastBreak_ : line_.size());
            if (x_ + p.width <= width_) {
                line_.push_back(p);
                x_ += p.width;
                return;
            }
            if (!line_.empty()) FinishLine(line_.size());
        }
        if (p.width <= width_) {
            line_.push_back(p);
            x_ += p.width;
            return;
        }
        Cut(p);
    }

    // A word wider than the whole line: as many characters per line as fit (at least one).
    void Cut(const Piece& p) {
        std::u16string_view text = p.Text();
        Piece part{p.run, p.start, 0, 0, false};
        for (std::size_t i = 0; i < text.size();) {
            std::size_t n = UnitLength(text, i);
            int w = CharWidth(text.substr(i, n), p.run->font);
            if (part.length > 0 && x_ + part.width + w > width_) {
                line_.push_back(part);
                x_ += part.width;
                FinishLine(line_.size());
                part = Piece{p.run, p.start + i, 0, 0, false};
            }
            part.length += n;
            part.width += w;
            i += n;
        }
        if (part.length > 0) {
            line_.push_back(part);
            x_ += part.width;
        }
    }

    // Places pieces [0, count) of the current line; the rest start the next line.
    void FinishLine(std::size_t count) {
        std::size_t end = count;
        while (end > 0 && line_[end - 1].blank) --end;
        int height = 0;
        for (std::size_t i = 0; i < end; ++i) height = std::max(height, LineHeight(line_[i].run->font));
        if (end == 0) height = LineHeight(FontClass{});
        LayoutLine line{y, height, page_.runs.size(), 0};
        int x = left_;
        for (std::size_t i = 0; i < end; ++i) {
            const Piece& p = line_[i];
            PlacedRun* last = page_.runs.size() > line.firstRun ? &page_.runs.back() : nullptr;
            if (last && last->font == p.run->font && last->link == p.run->link && last->x + last->width == x) {
                last->text += p.Text();
                last->width += p.width;
            } else {
                int h = LineHeight(p.run->font);
                page_.runs.push_back(PlacedRun{x, y + height - h, p.width, h, std::u16string(p.Text()),
                                               p.run->font, p.run->link});
            }
            x += p.width;
        }
        widest = std::max(widest, x - left_);
        line.runCount = page_.runs.size() - line.firstRun;
        page_.lines.push_back(line);
        y += height;
        // What follows the break starts the next line, without its leading blanks.
        while (count < line_.size() && line_[count].blank) ++count;
        line_.erase(line_.begin(), line_.begin() + static_cast<std::ptrdiff_t>(count));
        lastBreak_ = 0;
        x_ = 0;
        for (std::size_t i = 0; i < line_.size(); ++i) {
            x_ += line_[i].width;
            if (i > 0 && line_[i].breakBefore && !line_[i].blank) lastBreak_ = i;
        }
    }

    static int FontKey(const FontClass& font) { return font.heading * 2 + (font.link ? 1 : 0); }

    int CharWidth(std::u16string_view ch, const FontClass& font) {
        std::uint64_t key = (static_cast<std::uint64_t>(FontKey(font)) << 32) | (static_cast<std::uint64_t>(ch[0]) << 16) |
                            (ch.size() > 1 ? ch[1] : 0);
        auto it = charWidths_.find(key);
        if (it != charWidths_.end()) return it->second;
        int w = std::max(0, measurer_.TextWidth(ch, font));
        charWidths_.emplace(key, w);
        return w;
    }

    int LineHeight(const FontClass& font) {
        int key = FontKey(font);
        auto it = lineHeights_.find(key);
        if (it != lineHeights_.end()) return it->second;
        int h = std::max(1, measurer_.LineHeight(font));
        lineHeights_.emplace(key, h);
        return h;
    }

    TextMeasurer& measurer_;
    PageLayout& page_;
    int left_;
    int width_;
    int x_ = 0;
    std::vector<Piece> line_;
    std::size_t lastBreak_ = 0;
    bool prevCjk_ = false;
    char16_t prevLast_ = 0;
    std::unordered_map<std::uint64_t, int> charWidths_;
    std::unordered_map<int, int> lineHeights_;
};

}  // namespace

int Zoomed(int pixels, int zoom) { return RoundHalfEven(static_cast<double>(pixels) * zoom / 100); }

PageLayout LayOut(const Document& document, TextMeasurer& measurer, const LayoutOptions& unzoomed) {
    LayoutOptions options = unzoomed;
    options.margin = Zoomed(unzoomed.margin, unzoomed.zoom);
    options.blockGap = Zoomed(unzoomed.blockGap, unzoomed.zoom);
    PageLayout page;
    LineBreaker breaker(measurer, options, page);
    breaker.y = options.margin;
    int widest = 0;
    bool first = true;
    for (const Block& block : document.Blocks()) {
        if (block.gapBefore && !first) breaker.y += options.blockGap;
        first = false;
        if (block.kind == Block::Kind::Frame) {
            const Frame& frame = document.Frames()[static_cast<std::size_t>(block.frame)];
            int width = Zoomed(frame.width, options.zoom), height = Zoomed(frame.height, options.zoom);
            page.frames.push_back(PlacedFrame{block.frame, options.margin, breaker.y, width, height});
            breaker.y += height;
            widest = std::max(widest, width);
            continue;
        }
        for (const InlineRun& run : block.runs) {
            if (run.kind == InlineRun::Kind::LineBreak) breaker.Break();
            else breaker.Text(run);
        }
        breaker.EndBlock();
    }
    widest = std::max(widest, breaker.widest);
    page.width = std::max(options.viewportWidth, widest + 2 * options.margin);
    page.height = breaker.y + options.margin;
    return page;
}

int PageLayout::HitTest(int x, int y) const {
    auto it = std::upper_bound(lines.begin(), lines.end(), y, [](int v, const LayoutLine& l) { return v < l.y; });
    if (it == lines.begin()) return -1;
    const LayoutLine& line = *(it - 1);
    if (y >= line.y + line.height) return -1;
    for (std::size_t i = line.firstRun; i < line.firstRun + line.runCount; ++i) {
        const PlacedRun& run = runs[i];
        if (x >= run.x && x < run.x + run.width) return run.link;
    }
    return -1;
}

std::pair<std::size_t, std::size_t> PageLayout::LinesBetween(int top, int bottom) const {
    auto first = std::upper_bound(lines.begin(), lines.end(), top,
                                  [](int v, const LayoutLine& l) { return v < l.y + l.height; });
    auto last = std::lower_bound(first, lines.end(), bottom, [](const LayoutLine& l, int v) { return l.y < v; });
    return {static_cast<std::size_t>(first - lines.begin()), static_cast<std::size_t>(last - lines.begin())};
}

}  // namespace xcyh2::html
