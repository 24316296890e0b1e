// Compact JSON text: no insignificant whitespace, members in insertion
// order, raw UTF-8 with only the mandatory escapes, integers in decimal and
// floats as the shortest text that reads back to the same double (always
// with a fraction or an exponent; non-finite floats as null).
#pragma once

#include <string>
#include <string_view>

#include "core/json.h"

namespace kesvo {

void write_json(const Value& v, std::string& out);
std::string to_json(const Value& v);

// Appends `s` as a JSON string literal, quotes included.
void write_json_string(std::string_view s, std::string& out);

// Appends the shortest round-trip text of a finite double: decimal notation
// when the decimal exponent p (value = 0.d x 10^p) satisfies -5 < p <= 16,
// with ".0" added to whole numbers, scientific notation otherwise ("1e16",
// "1.5e-7"). Non-finite values append "null".
void format_double(double d, std::string& out);

}  // namespace kesvo
