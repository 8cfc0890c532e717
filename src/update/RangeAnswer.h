// What a download makes of a server's answer when it may already hold the file's first bytes
// from an earlier, interrupted transfer. No window, no platform calls.
//
// A transfer that holds N bytes asks for the rest with "Range: bytes=N-". Only a 206 whose
// Content-Range starts at N, ends at the last byte and gives the same full length as any earlier
// answer for the file is appended to what is held; any other answer to such a request (a 206
// without the Content-Range the protocol requires of it included: nothing says which bytes its
// body holds) starts the file afresh, with a request for the whole file. A 206 to a request
// without a range is refused: its body is not the whole file.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace xcyh2 {

// A satisfied byte range: bytes first..last (inclusive) of total.
struct ContentRange {
    std::uint64_t first = 0;
    std::uint64_t last = 0;
    std::uint64_t total = 0;
    bool operator==(const ContentRange&) const = default;
};

// "bytes FIRST-LAST/TOTAL" with first <= last < total, decimal numbers without leading zeros
// that fit 63 bits, the unit in any case, spaces allowed around the whole; nothing otherwise
// (an unknown total "*" included: a resumed file must know its full length).
std::optional<ContentRange> ParseContentRange(std::string_view text);

enum class AnswerUse {
    Write,    // the body is the whole file: what is held is dropped and the body written from byte 0
    Append,   // the body is the rest of the file, after the bytes held
    Restart,  // the body is of no use: drop what is held and ask again, for the whole file
    Refuse,   // the download fails
};

struct Answer {
    unsigned status = 0;
    std::uint64_t contentLength = 0;  // 0: none announced
    std::string_view contentRange;    // the header's text; empty when there is none
};

struct AnswerPlan {
    AnswerUse use = AnswerUse::Refuse;
    std::uint64_t total = 0;  // Write, Append: the file's full length once the body is in
    bool operator==(const AnswerPlan&) const = default;
};

// held: the bytes asked to be skipped (0: the request had no range). knownTotal: the full length
// an earlier answer gave for this file, if any. A body of no announced length is refused, as is
// a status other than 200, 206 and 416.
AnswerPlan DecideAnswer(std::uint64_t held, std::optional<std::uint64_t> knownTotal, const Answer& answer);

}  // namespace xcyh2
