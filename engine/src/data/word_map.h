// The command words of a two-state or three-state control DP (open, close
// and stop), chosen from the rule pack's named maps.
#pragma once

#include "core/json.h"
#include "data/role.h"

namespace kesvo {

// A Boolean role gets {"open": true, "close": false, "stop": {"never": true}}.
// Otherwise `names` (a string, or an array whose string items count) names
// candidate maps in rules["maps"]: the first map whose "open" and "close"
// words are both in the role's spec "range" is returned (a copy). When none
// qualifies, the first named map, or null when there is no name or no such
// map.
Value word_map(const Role& role, const Value& names, const Value& rules);

}  // namespace kesvo
