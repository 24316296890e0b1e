// Standard base64 (RFC 4648 alphabet, "=" padding).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kesvo {

std::string base64_encode(std::string_view bytes);

// Strict decoding: length a multiple of four, padding only at the end and in
// canonical form, no stray bits in the last character. Any other character
// fails.
std::optional<std::string> base64_decode(std::string_view text);

// The lenient input form that device payloads use: every character other
// than A-Z, a-z, 0-9, "+", "/" and "=" (white space, line breaks, "-", "_")
// is dropped first, then the rest is decoded strictly.
std::optional<std::string> base64_decode_filtered(std::string_view text);

}  // namespace kesvo
