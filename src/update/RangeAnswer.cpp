#include "update/RangeAnswer.h"

#include <cstddef>

namespace xcyh2 {
namespace {

// Decimal digits at text[at...] without a leading zero (unless the number is 0), below 2^63;
// at moves past them.
std::optional<std::uint64_t> Number(std::string_view text, std::size_t& at) {
    std::size_t begin = at;
    std::uint64_t value = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
        auto digit = static_cast<std::uint64_t>(text[at] - '0');
        if (value > (static_cast<std::uint64_t>(INT64_MAX) - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
        ++at;
    }
    if (at == begin || (text[begin] == '0' && at - begin > 1)) return std::nullopt;
    return value;
}

bool SkipChar(std::string_view text, std::size_t& at, char c) {
    if (at >= text.size() || text[at] != c) return false;
    ++at;
    return true;
}

bool IsSpace(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::optional<ContentRange> ParseContentRange(std::string_view text) {
    while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
    constexpr std::string_view kUnit = "bytes ";
    if (text.size() < kUnit.size()) return std::nullopt;
    for (std::size_t i = 0; i < kUnit.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != kUnit[i]) return std::nullopt;
    }
    std::size_t at = kUnit.size();
    ContentRange range;
    auto first = Number(text, at);
    if (!first || !SkipChar(text, at, '-')) return std::nullopt;
    auto last = Number(text, at);
    if (!last || !SkipChar(text, at, '/')) return std::nullopt;
    auto total = Number(text, at);
    if (!total || at != text.size()) return std::nullopt;
    if (*first > *last || *last >= *total) return std::nullopt;
    return ContentRange{*first, *last, *total};
}

AnswerPlan DecideAnswer(std::uint64_t held, std::optional<std::uint64_t> knownTotal, const Answer& answer) {
    switch (answer.status) {
        case 200:
            if (!answer.contentLength) return {AnswerUse::Refuse};
            return {AnswerUse::Write, answer.contentLength};
        case 206: {
            if (held == 0) return {AnswerUse::Refuse};
            // Without Content-Range nothing says which bytes the body holds: it is not used, and
            // the whole file is asked for (a server that answers ranges so would otherwise never
            // let the file be finished).
            auto range = ParseContentRange(answer.contentRange);
            bool rest = range && range->first == held && range->last + 1 == range->total &&
                        (!knownTotal || range->total == *knownTotal) &&
                        (!answer.contentLength || answer.contentLength == range->total - held);
            if (!rest) return {AnswerUse::Restart};
            return {AnswerUse::Append, range->total};
        }
        case 416:
            return {held ? AnswerUse::Restart : AnswerUse::Refuse};
        default:
            return {AnswerUse::Refuse};
    }
}

}  // namespace xcyh2
