// Double-byte code pages: which bytes start a two-byte character. Window-free, so text that is
// cut or read byte by byte can be tested natively with a fixed rule.
#pragma once

namespace xcyh2 {

// Tells whether a byte starts a double-byte character of an ANSI code page.
using LeadBytePredicate = bool (*)(unsigned char);

// The lead bytes of code page 936 (GBK), the Chinese systems' ANSI code page.
inline bool IsGbkLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

}  // namespace xcyh2
