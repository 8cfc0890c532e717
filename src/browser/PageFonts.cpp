#include "browser/PageFonts.h"

namespace xcyh2::browser {

HFONT FontSet::Get(const html::FontClass& font) {
    int key = font.heading * 2 + (font.link ? 1 : 0);
    auto it = fonts_.find(key);
    if (it != fonts_.end()) return it->second.get();
    static const int kHeadingPixels[] = {16, 28, 22, 19, 17, 16, 15};
    int pixels = html::Zoomed(kHeadingPixels[font.heading >= 0 && font.heading <= 6 ? font.heading : 0], zoom_);
    LOGFONTW lf{};
    lf.lfHeight = -pixels;
    lf.lfWeight = font.heading > 0 ? FW_BOLD : FW_NORMAL;
    lf.lfUnderline = font.link ? TRUE : FALSE;
    lf.lfCharSet = GB2312_CHARSET;
    lf.lfQuality = ANTIALIASED_QUALITY;
    // Under Wine the prefix maps these names to a CJK face it has.
    ::lstrcpynW(lf.lfFaceName, L"Microsoft YaHei", LF_FACESIZE);
    HFONT made = ::CreateFontIndirectW(&lf);
    if (!made) {
        ::lstrcpynW(lf.lfFaceName, L"SimSun", LF_FACESIZE);
        made = ::CreateFontIndirectW(&lf);
    }
    return fonts_.emplace(key, unique_hfont(made)).first->second.get();
}

void FontSet::SetZoom(int percent) {
    if (percent == zoom_) return;
    zoom_ = percent;
    fonts_.clear();
}

int GdiMeasurer::TextWidth(std::u16string_view text, const html::FontClass& font) {
    SelectedObject selected(dc_, fonts_.Get(font));
    SIZE size{};
    ::GetTextExtentPoint32W(dc_, reinterpret_cast<const wchar_t*>(text.data()), static_cast<int>(text.size()), &size);
    return size.cx;
}

int GdiMeasurer::LineHeight(const html::FontClass& font) {
    SelectedObject selected(dc_, fonts_.Get(font));
    TEXTMETRICW tm{};
    ::GetTextMetricsW(dc_, &tm);
    return tm.tmHeight + tm.tmExternalLeading + html::Zoomed(2, fonts_.Zoom());
}

}  // namespace xcyh2::browser
