// The "when" conditions of quirk operations: a small language over the
// device's status.
#pragma once

#include "core/json.h"

namespace kesvo {

// Evaluates a condition against `status` (an object of DP code to raw
// value). An object whose first member is one of the operators "status",
// "ge", "and", "or", "not", "is_int" applies that operator; any other
// object (including {}) evaluates to null; every other value stands for
// itself.
Value eval_quirk_condition(const Value& condition, const Value& status);

}  // namespace kesvo
