#include "base/EcdsaDer.h"

#include <cstddef>

namespace xcyh2 {
namespace {

constexpr std::uint8_t kSequence = 0x30, kInteger = 0x02;

// Reads one tag-length header at the front of der; the content's length is left in length.
// Only the forms DER allows: one length byte below 0x80, or 0x81 followed by 0x80..0xFF (a
// signature of ours is never longer than 72 bytes, so longer forms are refused outright).
bool ReadHeader(std::string_view& der, std::uint8_t tag, std::size_t& length) {
    if (der.size() < 2 || static_cast<std::uint8_t>(der[0]) != tag) return false;
    std::uint8_t first = static_cast<std::uint8_t>(der[1]);
    if (first < 0x80) {
        length = first;
        der.remove_prefix(2);
    } else if (first == 0x81 && der.size() >= 3 && static_cast<std::uint8_t>(der[2]) >= 0x80) {
        length = static_cast<std::uint8_t>(der[2]);
        der.remove_prefix(3);
    } else {
        return false;
    }
    return length <= der.size();
}

// One INTEGER, right-aligned into 32 bytes. DER integers are minimal and signed: a leading zero
// byte appears only before a byte with its top bit set; r and s are never zero or negative.
bool ReadScalar(std::string_view& der, std::uint8_t* out) {
    std::size_t length = 0;
    if (!ReadHeader(der, kInteger, length) || length == 0) return false;
    std::string_view value = der.substr(0, length);
    der.remove_prefix(length);
    if (static_cast<std::uint8_t>(value[0]) & 0x80) return false;  // negative
    if (value[0] == 0) {
        if (value.size() == 1 || !(static_cast<std::uint8_t>(value[1]) & 0x80)) return false;  // zero, or not minimal
        value.remove_prefix(1);
    }
    if (value.size() > 32) return false;
    for (std::size_t i = 0; i < 32 - value.size(); ++i) out[i] = 0;
    for (std::size_t i = 0; i < value.size(); ++i) out[32 - value.size() + i] = static_cast<std::uint8_t>(value[i]);
    return true;
}

}  // namespace

std::optional<P256RawSignature> P256SignatureFromDer(std::string_view der) {
    std::size_t length = 0;
    if (!ReadHeader(der, kSequence, length) || length != der.size()) return std::nullopt;
    P256RawSignature raw{};
    if (!ReadScalar(der, raw.data()) || !ReadScalar(der, raw.data() + 32) || !der.empty()) return std::nullopt;
    return raw;
}

}  // namespace xcyh2
