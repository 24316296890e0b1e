// Merging of JSON objects, shared by device utilities and overrides.
#pragma once

#include "core/json.h"

namespace kesvo {

// Deep merge: when both are objects, each member (k, v) of `source`, in
// order, merges into target[k] when both are objects, and otherwise replaces
// it (appended when new, in place otherwise). Nothing happens unless both
// are objects.
void merge_deep(Value& target, const Value& source);

// A copy of `base` (an empty object when it is not one) with the members of
// `extra` set into it, replacing same-named members in place.
Value merge_shallow(const Value& base, const Value& extra);

}  // namespace kesvo
