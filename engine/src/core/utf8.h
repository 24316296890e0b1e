// UTF-8 helpers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kesvo {

// Whether the bytes are well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF).
bool valid_utf8(std::string_view s);

// Number of Unicode scalar values in valid UTF-8 text.
size_t utf8_length(std::string_view s);

// Decodes the scalar value starting at s[i] of valid UTF-8 text and advances
// i past it.
uint32_t utf8_next(std::string_view s, size_t& i);

// Appends the UTF-8 encoding of a scalar value.
void utf8_append(uint32_t cp, std::string& out);

// Whether a scalar value is Unicode white space (the White_Space property).
bool is_unicode_whitespace(uint32_t cp);

// Text without leading and trailing Unicode white space.
std::string_view trim_unicode_whitespace(std::string_view s);

}  // namespace kesvo
