// Fuzz target for the Content-Range reader and the answer decision: an accepted range is
// well-formed and reads back the same from its canonical text, and an answer is appended only
// when it is exactly the rest of the file after the bytes held.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "update/RangeAnswer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    auto range = xcyh2::ParseContentRange(text);
    if (range) {
        if (range->first > range->last || range->last >= range->total) std::abort();
        std::string canonical = "bytes " + std::to_string(range->first) + "-" + std::to_string(range->last) + "/" +
                                std::to_string(range->total);
        if (xcyh2::ParseContentRange(canonical) != range) std::abort();
    }
    // The first bytes steer the held count and the status; the rest is the header.
    std::uint64_t held = size ? data[0] * 1000u : 0;
    unsigned status = size > 1 ? (data[1] % 3 == 0 ? 200 : data[1] % 3 == 1 ? 206 : 416) : 206;
    xcyh2::Answer answer{status, size > 2 ? data[2] * 10u : 0, text};
    auto plan = xcyh2::DecideAnswer(held, std::nullopt, answer);
    if (plan.use == xcyh2::AnswerUse::Append &&
        (!range || status != 206 || range->first != held || held == 0 || plan.total != range->total)) {
        std::abort();
    }
    if (plan.use == xcyh2::AnswerUse::Write && (status != 200 || plan.total != answer.contentLength)) std::abort();
    return 0;
}
