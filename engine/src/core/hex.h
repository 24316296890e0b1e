// Hexadecimal byte texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kesvo {

// Pairs of hex digits (either case) to bytes; an odd number of digits or any
// other character gives nothing.
std::optional<std::string> hex_decode(std::string_view text);

// Bytes to lower-case hex digits, two per byte.
std::string hex_encode(std::string_view bytes);

// Appends the lower-case hex digits of `v`, zero-padded on the left to at
// least `width` digits and never cut.
void append_hex_padded(std::string& out, uint64_t v, size_t width);

// The value of one hex digit, or -1.
inline int hex_digit_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace kesvo
