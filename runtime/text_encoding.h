// Conversions of 8-bit text to UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace tarnwick::runtime {

// True when the bytes are well-formed UTF-8 (no overlong forms, surrogates or values beyond
// U+10FFFF).
bool IsWellFormedUtf8(std::string_view text);

// Mac OS Roman text as UTF-8: bytes below 0x80 are ASCII, the others map to their Unicode
// characters.
std::string Utf8FromMacRoman(std::string_view text);

}  // namespace tarnwick::runtime
