// Pieces of the messages that readers of JSON records (adapters, plans,
// roles, host messages) report when a member is missing or of the wrong type.
#pragma once

#include <string>
#include <string_view>

#include "core/json.h"

namespace kesvo {

// "null", "a boolean", "a number", "a string", "an array" or "an object".
std::string_view json_type_phrase(const Value& v);

// The text in JSON string form, quotes included.
std::string json_quoted(std::string_view s);

// "missing field `name`".
std::string missing_field_message(std::string_view name);

}  // namespace kesvo
