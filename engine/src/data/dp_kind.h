// DP kinds, embedded JSON specs and the decimal scale factor: the pieces of
// the DP model that every layer above the device description uses.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "core/json.h"

namespace kesvo {

// The seven DP kinds; the order is the kind's number.
enum class DpKind : uint8_t { Integer = 0, Boolean = 1, Enum = 2, Bitmap = 3, Json = 4, Raw = 5, String = 6 };

// Parses a kind name by exact, case-sensitive comparison against the
// canonical names and their lower-case aliases ("value" for Integer, "bool"
// for Boolean, ...). Anything else is no kind.
std::optional<DpKind> parse_kind(std::string_view name);

// Parses the kind of a JSON value: only strings name kinds.
std::optional<DpKind> parse_kind(const Value& name);

// The canonical name ("Integer", "Boolean", ...).
std::string_view kind_name(DpKind kind);

// A DP spec as a device description holds it: a string is parsed as JSON
// text (null when it does not parse); any other value is used unchanged.
Value parse_embedded_json(const Value& v);

// 10 raised to the integer power `exponent`, computed by repeated
// multiplication in double precision (so 10^2 is exactly 100 and 10^-1 is
// 0.1). Stops as soon as the running product is infinite or zero, which
// keeps hostile exponents cheap without changing any result.
double pow10_scale(int32_t exponent);

// The scale factor of a DP spec: 10 raised to "scale" (read with to_number,
// truncated and saturated to 32 bits, NaN as 0). An absent "scale", or a
// spec that is not an object, gives 1.
double spec_scale_factor(const Value& spec);

}  // namespace kesvo
