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

}  // namespace kesvo
