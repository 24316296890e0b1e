// Unicode case mapping: the full, unconditional lower- and upper-case
// mappings of every code point (one character may map to several, e.g.
// U+00DF to "SS" and U+0130 to "i" + U+0307). No language-specific or
// context-dependent rules apply, so a final capital sigma lowers to U+03C3.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kesvo {

// The full lower-case mapping of `cp`: writes up to 3 code points to `out`
// and returns how many (1 when the character maps to itself).
size_t unicode_lower(uint32_t cp, uint32_t out[3]);

// The full upper-case mapping of `cp`, same contract.
size_t unicode_upper(uint32_t cp, uint32_t out[3]);

// Appends the lower-case form of valid UTF-8 text.
void append_lower_utf8(std::string_view text, std::string& out);

}  // namespace kesvo
