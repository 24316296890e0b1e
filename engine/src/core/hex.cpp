#include "core/hex.h"

namespace kesvo {

std::optional<std::string> hex_decode(std::string_view text) {
  if (text.size() % 2 != 0) return std::nullopt;
  std::string out;
  out.reserve(text.size() / 2);
  for (size_t i = 0; i < text.size(); i += 2) {
    const int hi = hex_digit_value(text[i]);
    const int lo = hex_digit_value(text[i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    out += static_cast<char>(hi * 16 + lo);
  }
  return out;
}

std::string hex_encode(std::string_view bytes) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (unsigned char b : bytes) {
    out += kHex[b >> 4];
    out += kHex[b & 15];
  }
  return out;
}

void append_hex_padded(std::string& out, uint64_t v, size_t width) {
  static const char kHex[] = "0123456789abcdef";
  char digits[16];
  size_t len = 0;
  do {
    digits[len++] = kHex[v & 15];
    v >>= 4;
  } while (v != 0);
  if (width > len) out.append(width - len, '0');
  while (len > 0) out += digits[--len];
}

}  // namespace kesvo
