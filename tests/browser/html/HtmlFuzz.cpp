// Arbitrary bytes through charset detection, decoding, tokenizer, tree, extraction, address
// resolution and layout. The first byte picks the header and viewport width.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "browser/html/Document.h"
#include "browser/html/Layout.h"
#include "browser/html/Url.h"

using namespace xcyh2::html;

namespace {
class FuzzMeasurer : public TextMeasurer {
public:
    int TextWidth(std::u16string_view text, const FontClass& font) override {
        int w = 0;
        for (char16_t c : text) w += (c % 13) + (font.heading ? 3 : 0);  // zero widths happen too
        return w;
    }
    int LineHeight(const FontClass& font) override { return 10 + font.heading; }
};

std::u16string FakeLegacy(std::string_view bytes, Charset) {
    std::u16string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        auto b = static_cast<unsigned char>(bytes[i]);
        if (b >= 0x81 && i + 1 < bytes.size()) out.push_back(static_cast<char16_t>(0x4E00 + b * 3 + static_cast<unsigned char>(bytes[++i])));
        else out.push_back(b);
    }
    return out;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    std::uint8_t control = data[0];
    std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    static constexpr std::string_view kHeaders[] = {"", "text/html", "text/html; charset=gbk",
                                                    "text/html; charset=utf-8"};
    Document doc = Document::Load(bytes, kHeaders[control & 3], &FakeLegacy);
    std::u16string inner = doc.RootInnerHtml();
    // What the engine writes back must parse again.
    Document again = Document::Parse(inner);
    (void)again.RootInnerHtml();

    const std::u16string base = u"http://127.0.0.1:47180/xcyh2/login/login.html?x=1";
    for (const Link& link : doc.Links()) (void)ResolveUrl(base, link.href);
    for (const Frame& frame : doc.Frames()) (void)ResolveUrl(base, frame.src);

    FuzzMeasurer measurer;
    LayoutOptions options;
    options.viewportWidth = (control >> 2) * 16;  // 0 .. 1008, including widths below the margins
    PageLayout page = LayOut(doc, measurer, options);
    for (int y = 0; y < page.height; y += 7) {
        int link = page.HitTest((y * 31) % (page.width + 1), y);
        if (link < -1 || link >= static_cast<int>(doc.Links().size())) __builtin_trap();
    }
    for (const PlacedRun& run : page.runs)
        if (run.link >= static_cast<int>(doc.Links().size()) || run.text.empty()) __builtin_trap();
    auto [first, last] = page.LinesBetween(0, page.height / 2);
    if (first > last || last > page.lines.size()) __builtin_trap();
    return 0;
}
