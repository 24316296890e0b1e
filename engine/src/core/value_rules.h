// The value rules shared by every part of the engine that reads loosely
// typed JSON values: truthiness, number coercion, number normalisation, the
// two equalities and the integer conversions.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/json.h"

namespace kesvo {

// null is false; a boolean is itself; a number is true unless it equals 0;
// a string, array or object is true unless empty.
bool truthy(const Value& v);

// A number's value as a double; a string parsed as a decimal float literal
// (0 when it does not parse); true is 1; everything else 0.
double to_number(const Value& v);

// Parses a decimal floating-point literal: optional sign, digits with an
// optional fraction (one side of the point may be empty, not both), optional
// exponent, or inf / infinity / nan in any letter case. No surrounding
// whitespace. Returns nothing when the text is not such a literal.
std::optional<double> parse_float_text(std::string_view s);

// A float result as a JSON value: NaN and infinities give null; a whole
// number whose magnitude is below 9.22e18 gives an integer (so -0 gives 0);
// anything else stays a float.
Value number_value(double x);

// Same type and content; numbers only in the same representation (integers
// compare by value, floats by value, an integer never equals a float);
// arrays element by element; objects as maps, order ignored.
bool strict_equal(const Value& a, const Value& b);

// Numbers and booleans compare as floats (true 1, false 0); otherwise
// strict_equal.
bool loose_equal(const Value& a, const Value& b);

// Truncation toward zero, saturating at the signed 64-bit limits, NaN 0.
int64_t to_i64(double x);

// Same for 32 bits.
int32_t to_i32(double x);

// Nearest whole number, ties to the even neighbour.
double round_half_even(double x);

// A loosely typed list of strings: an array contributes its string items, a
// string is a one-item list, anything else is empty.
std::vector<std::string> string_list(const Value& v);

}  // namespace kesvo
