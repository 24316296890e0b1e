// Conversion of DP values between the device's raw form and the engine's
// form for one Role: Integer DPs are scaled numbers, Boolean and Enum DPs
// are checked, every other kind passes through unchanged.
#pragma once

#include <string>

#include "core/json.h"
#include "core/result.h"
#include "data/role.h"

namespace kesvo {

// Decodes status[role.code] (null when status is not an object or has no
// such member). Never fails: a raw value that does not fit the DP decodes
// to null. Integer values decode to doubles (245 with scale 1 is 24.5).
Value decode_dp(const Role& role, const Value& status);

// Decodes one raw value.
Value decode_dp_value(const Role& role, const Value& raw);

// Encodes an engine value into the raw value to send. Errors, exactly:
// "invalid numeric value", "value out of range", "invalid boolean value",
// "invalid enum value".
Result<Value, std::string> encode_dp(const Role& role, const Value& value);

}  // namespace kesvo
