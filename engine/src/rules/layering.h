// Rule-pack layering: an ordered list of patch layers merged onto a base
// document with a small patch language, optionally skipping bad layers.
//
// Patch markers, recognised in any object value of a patch at any depth:
//   {"$delete": true}      removes the member of the same name
//   {"$append": [items]}   appends copies of the items to the member's array
//                          (or sets the member to the array when it is not one)
// Any other object merges recursively; any other value replaces.
#pragma once

#include "core/json.h"
#include "core/result.h"

namespace kesvo {

// Applies `patch` to `target` in place. A patch that is not an object
// replaces the target (null included: null is a value, not a deletion).
void apply_layer(Value& target, const Value& patch);

// The "merge_rules" operation: members "base" (object, default {}),
// "layers" (array) and "tolerant" (only true counts). Answers
// {"rules": merged document, "sources": [layer names], "warnings": [...]}
// or a Rules error.
Result<Value> merge_rules(const Value& request);

}  // namespace kesvo
