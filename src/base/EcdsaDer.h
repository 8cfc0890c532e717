// The DER form of an ECDSA signature, as OpenSSL writes it (SEQUENCE { INTEGER r, INTEGER s }),
// turned into the fixed-width r || s that the system's signature check takes. No platform calls.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace xcyh2 {

// r and s of a P-256 signature, 32 big-endian bytes each.
using P256RawSignature = std::array<std::uint8_t, 64>;
// A P-256 public key: its point, x then y, 32 big-endian bytes each.
using PublisherKey = std::array<std::uint8_t, 64>;

// Nothing unless the bytes are exactly one DER SEQUENCE of two positive INTEGERs, each at most
// 32 bytes once its leading zero bytes are dropped, with definite minimal lengths and nothing
// after the sequence.
std::optional<P256RawSignature> P256SignatureFromDer(std::string_view der);

}  // namespace xcyh2
