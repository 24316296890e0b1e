// The JSON reader. Accepts exactly one JSON value surrounded by optional
// whitespace, nested at most 127 levels deep. Integer literals that fit an
// unsigned or signed 64-bit integer stay integers; every other number is a
// correctly rounded double. Failures are messages ending in
// " at line L column C" (lines counted by line feeds, C the 1-based byte
// position of the offending byte in its line, or the number of bytes on the
// last line when the text ends early).
//
// The text must be valid UTF-8; bytes above 0x7F are copied verbatim.
#pragma once

#include <string>
#include <string_view>

#include "core/json.h"
#include "core/result.h"

namespace kesvo {

constexpr int kMaxJsonDepth = 127;

Result<Value, std::string> read_json(std::string_view text);

}  // namespace kesvo
