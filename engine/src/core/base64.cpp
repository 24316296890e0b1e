#include "core/base64.h"

#include <cstdint>

namespace kesvo {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int decode_char(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

}  // namespace

std::string base64_encode(std::string_view bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  size_t i = 0;
  const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
  for (; i + 3 <= bytes.size(); i += 3) {
    const uint32_t v = (uint32_t{b[i]} << 16) | (uint32_t{b[i + 1]} << 8) | b[i + 2];
    out += kAlphabet[v >> 18];
    out += kAlphabet[(v >> 12) & 63];
    out += kAlphabet[(v >> 6) & 63];
    out += kAlphabet[v & 63];
  }
  const size_t rest = bytes.size() - i;
  if (rest == 1) {
    const uint32_t v = uint32_t{b[i]} << 16;
    out += kAlphabet[v >> 18];
    out += kAlphabet[(v >> 12) & 63];
    out += "==";
  } else if (rest == 2) {
    const uint32_t v = (uint32_t{b[i]} << 16) | (uint32_t{b[i + 1]} << 8);
    out += kAlphabet[v >> 18];
    out += kAlphabet[(v >> 12) & 63];
    out += kAlphabet[(v >> 6) & 63];
    out += '=';
  }
  return out;
}

std::optional<std::string> base64_decode(std::string_view text) {
  if (text.size() % 4 != 0) return std::nullopt;
  std::string out;
  out.reserve(text.size() / 4 * 3);
  for (size_t i = 0; i < text.size(); i += 4) {
    const bool last = i + 4 == text.size();
    int pad = 0;
    if (last) {
      if (text[i + 3] == '=') pad = text[i + 2] == '=' ? 2 : 1;
    }
    int v[4];
    for (int k = 0; k < 4 - pad; ++k) {
      v[k] = decode_char(text[i + k]);
      if (v[k] < 0) return std::nullopt;
    }
    if (pad == 0) {
      out += static_cast<char>((v[0] << 2) | (v[1] >> 4));
      out += static_cast<char>(((v[1] & 15) << 4) | (v[2] >> 2));
      out += static_cast<char>(((v[2] & 3) << 6) | v[3]);
    } else if (pad == 1) {
      if (v[2] & 3) return std::nullopt;
      out += static_cast<char>((v[0] << 2) | (v[1] >> 4));
      out += static_cast<char>(((v[1] & 15) << 4) | (v[2] >> 2));
    } else {
      if (v[1] & 15) return std::nullopt;
      out += static_cast<char>((v[0] << 2) | (v[1] >> 4));
    }
  }
  return out;
}

std::optional<std::string> base64_decode_filtered(std::string_view text) {
  std::string kept;
  kept.reserve(text.size());
  for (char c : text) {
    if (decode_char(c) >= 0 || c == '=') kept += c;
  }
  return base64_decode(kept);
}

}  // namespace kesvo
