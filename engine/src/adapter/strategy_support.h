// The conventions every conversion strategy shares: reading raw texts and
// hex fields, decoding base64 payloads, decimal rounding, integer and hex
// output, and the spaced JSON text that strategies hand to the host.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/json.h"
#include "core/result.h"

namespace kesvo {

// The raw text of a DP value: the string itself, or the empty text for any
// other value.
inline std::string_view raw_text(const Value& raw) { return raw.string_or_empty(); }

// Whether byte position `pos` of `s` starts a character (or is the end):
// false inside a multi-byte UTF-8 sequence.
inline bool is_char_boundary(std::string_view s, size_t pos) {
  return pos >= s.size() || (static_cast<unsigned char>(s[pos]) & 0xC0) != 0x80;
}

// A value that may hold its structure as JSON text (an engine value written
// by a host, a config member): a string is parsed (null when it does not
// parse), any other value is used in place without a copy.
class EmbeddedJson {
 public:
  explicit EmbeddedJson(const Value& v);
  EmbeddedJson(const EmbeddedJson&) = delete;
  EmbeddedJson& operator=(const EmbeddedJson&) = delete;
  const Value& get() const { return ref_ ? *ref_ : owned_; }
  const Value& operator*() const { return get(); }
  const Value* operator->() const { return &get(); }

 private:
  Value owned_;
  const Value* ref_ = nullptr;
};

// The unsigned hexadecimal field of `s` between byte positions a and b, both
// clipped to the text (so a field beyond the end is empty and reads 0). An
// optional single leading "+" is allowed; any other character, a boundary
// inside a multi-byte character and a value above 2^64 - 1 fail with
// "invalid hex". The integer is returned as the nearest double.
Result<double, std::string> hex_field(std::string_view s, size_t a, size_t b);

// The bytes of a base64 DP value: only strings decode; characters outside
// the base64 alphabet and "=" are dropped first, the rest must be canonical
// padded base64. Nothing on any failure.
std::optional<std::string> decode_base64(const Value& raw);

// x rounded to `digits` decimals: written in fixed-point notation, correctly
// rounded from the exact binary value with ties to even, and read back.
// Non-finite values come back unchanged.
double round_to(double x, int digits);

// Rounds to the nearest integer (ties to even), then converts like to_i64:
// saturating, NaN 0.
int64_t round_to_i64(double x);

// Appends `v` in lower-case hex, zero-padded on the left to `width` digits
// and never cut; a negative value is written as the 16 digits of its two's
// complement.
void append_hex(std::string& out, int64_t v, int width);

// Appends a double converted to a signed 64-bit integer by truncation
// (saturating, NaN 0) in hex as above.
void append_hex(std::string& out, double x, int width);

// Names whose numbers keep their representation in spaced_json_text.
using KeepList = std::span<const std::string_view>;

// Colour members: "h", "s", "v".
extern const KeepList colour_keys;
// Metering members: "voltage", "electricCurrent", "power", "reactivePower",
// "apparentPower", "powerFactor", "electricTotal".
extern const KeepList electricity_keys;

// The text form of a structured engine value, as a JSON string. Numbers
// whose governing name (the member name, or for array elements the array's
// own governing name; empty at the top) is not in `keep` are normalised
// with number_value, so integral doubles become integers. Objects and
// arrays are written with ", " between items and ": " after member names;
// scalars in compact JSON form.
Value spaced_json_text(const Value& value, KeepList keep);

// The text itself, appended to `out`.
void write_spaced_json(const Value& value, KeepList keep, std::string& out);

}  // namespace kesvo
