// Fuzz target for the signature reader: whatever it accepts is the one DER encoding of its r and
// s, so writing them back out gives the input again, byte for byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/EcdsaDer.h"

namespace {

std::string Integer(const std::uint8_t* scalar) {
    std::size_t skip = 0;
    while (skip < 31 && scalar[skip] == 0) ++skip;
    std::string value(reinterpret_cast<const char*>(scalar + skip), 32 - skip);
    if (static_cast<std::uint8_t>(value[0]) & 0x80) value.insert(value.begin(), '\0');
    return std::string{'\x02', static_cast<char>(value.size())} + value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view der(reinterpret_cast<const char*>(data), size);
    auto raw = xcyh2::P256SignatureFromDer(der);
    if (!raw) return 0;
    std::string body = Integer(raw->data()) + Integer(raw->data() + 32);
    std::string again = std::string{'\x30', static_cast<char>(body.size())} + body;
    if (again != der) std::abort();
    return 0;
}
