#include <gtest/gtest.h>

#include <string>

#include "base/EcdsaDer.h"

namespace xcyh2 {
namespace {

std::string Bytes(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes) s += static_cast<char>(b);
    return s;
}
std::string Repeat(int byte, int n) { return std::string(n, static_cast<char>(byte)); }
std::string Int(const std::string& value) { return Bytes({0x02, static_cast<int>(value.size())}) + value; }
std::string Seq(const std::string& body) { return Bytes({0x30, static_cast<int>(body.size())}) + body; }

TEST(EcdsaDer, AcceptsOnlyOneMinimalSequenceOfTwoScalars) {
    const std::string r32 = Bytes({0x7f}) + Repeat(0x11, 31), s33 = Bytes({0x00, 0x80}) + Repeat(0x22, 31);
    const std::string big = Bytes({0x80}) + Repeat(0x33, 31);
    struct Case {
        const char* name;
        std::string der;
        std::string raw;  // r || s, 64 bytes; empty: refused
    } cases[] = {
        {"r 32 bytes, s with its sign byte", Seq(Int(r32) + Int(s33)), r32 + s33.substr(1)},
        {"short scalars, right-aligned", Seq(Int(Bytes({0x01})) + Int(Bytes({0x02, 0x03}))),
         Repeat(0, 31) + Bytes({0x01}) + Repeat(0, 30) + Bytes({0x02, 0x03})},
        {"empty", "", ""},
        {"truncated sequence", Seq(Int(r32) + Int(s33)).substr(0, 40), ""},
        {"trailing byte after the sequence", Seq(Int(r32) + Int(s33)) + Bytes({0x00}), ""},
        {"trailing byte inside the sequence", Seq(Int(r32) + Int(s33) + Bytes({0x00})), ""},
        {"sequence length beyond the input", Bytes({0x30, 0x7f}) + Int(r32) + Int(s33), ""},
        {"four-byte length that overflows", Bytes({0x30, 0x84, 0xff, 0xff, 0xff, 0xff}) + Int(r32), ""},
        {"long form for a short length", Bytes({0x30, 0x81, 0x06}) + Int(Bytes({1})) + Int(Bytes({2})), ""},
        {"integer length beyond the sequence", Seq(Bytes({0x02, 0x40}) + r32), ""},
        {"r of 33 bytes after its sign byte", Seq(Int(Bytes({0x00, 0x80}) + Repeat(0x44, 32)) + Int(s33)), ""},
        {"r of 33 bytes with no sign byte", Seq(Int(Bytes({0x01}) + Repeat(0x44, 32)) + Int(s33)), ""},
        {"negative r", Seq(Int(big) + Int(s33)), ""},
        {"zero s", Seq(Int(r32) + Int(Bytes({0x00}))), ""},
        {"needless leading zero", Seq(Int(Bytes({0x00, 0x01})) + Int(s33)), ""},
        {"empty integer", Seq(Int("") + Int(s33)), ""},
        {"one integer only", Seq(Int(r32)), ""},
        {"wrong tag", Bytes({0x31, 0x06, 0x02, 0x01, 0x01, 0x02, 0x01, 0x01}), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto raw = P256SignatureFromDer(c.der);
        EXPECT_EQ(raw ? std::string(raw->begin(), raw->end()) : std::string(), c.raw);
    }
}

}  // namespace
}  // namespace xcyh2
