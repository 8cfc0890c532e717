// Times parsing and laying out a large page, beside decoding the same bytes as a baseline:
//   cmake --build BUILD --target html_bench && BUILD/tests/browser/html/html_bench [kilobytes]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/utf.h"
#include "browser/html/Document.h"
#include "browser/html/Layout.h"

using namespace xcyh2::html;

namespace {
class FixedMeasurer : public TextMeasurer {
public:
    int TextWidth(std::u16string_view text, const FontClass&) override {
        int w = 0;
        for (char16_t c : text) w += c >= 0x2E80 ? 14 : 7;
        return w;
    }
    int LineHeight(const FontClass& font) override { return font.heading ? 24 : 16; }
};

template <typename F>
double Millis(F f) {
    auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}
}  // namespace

int main(int argc, char** argv) {
    std::size_t kilobytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1024;
    std::string bytes = "<html><head><meta charset=utf-8><title>bench</title></head><body>";
    while (bytes.size() < kilobytes * 1024)
        bytes += "<h2>\xE5\x85\xAC\xE5\x91\x8A</h2><p>\xE4\xBA\x91\xE6\xB5\xB7\xE5\xB7\xA1\xE8\x88\xAA\xE5\x91\xA8"
                 "\xEF\xBC\x8C sail the sea of clouds &amp; earn <a href=\"/x?a=1\">double</a> experience."
                 "<br>\xE6\xAF\x8F\xE5\x91\xA8\xE5\x9B\x9B 6:00-8:00</p>";
    std::size_t sink = 0;
    double decode = Millis([&] { sink += xcyh2::Utf8ToUtf16(bytes).size(); });
    Document doc;
    double parse = Millis([&] { doc = Document::Load(bytes, "text/html", nullptr); });
    FixedMeasurer measurer;
    PageLayout page;
    double layout = Millis([&] { page = LayOut(doc, measurer, LayoutOptions{732}); });
    double hits = Millis([&] {
        for (int y = 0; y < page.height; y += 3) sink += static_cast<std::size_t>(page.HitTest(100, y) + 1);
    });
    std::printf("%zu bytes: utf-8 decode %.1f ms (baseline), load+parse %.1f ms, layout %.1f ms "
                "(%zu lines, %d px), %d hit tests %.1f ms [%zu]\n",
                bytes.size(), decode, parse, layout, page.lines.size(), page.height, page.height / 3, hits, sink);
    return 0;
}
