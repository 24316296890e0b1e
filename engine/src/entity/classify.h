// Classification: running a rule pack's entity definitions against one
// device description to get the device's plans, one per entity instance,
// and the plans for the DPs that no exposed plan consumes.
//
// Walk: the rule pack's "platforms" in document order (optionally only the
// named ones); for each, the device category's entry (or entries) in the
// platform's "categories"; for each entry, the platform's entity definition
// in "entities". The definition's "variants" are tried in order in a context
// binding "rules", "entity", "device", "status", "env", "desc" and "key";
// the first variant that matches yields the entry's plans. A variant is a
// group (nested "variants", optionally repeated for every element of "each"
// bound under "as") or a leaf whose "steps" and the definition's "finish"
// are spec programs that bind roles and fill the working variables
// "identity", "config" and "plan".
//
// Spec statements (besides "if", "$use" and "let"):
//   {"role": name, "codes", "prefer", "types", "required"}  role binding
//   {"require": expr}                                       stop (no match) when falsy
//   {"set": path, "value": expr} / {"set": path, "merge": expr}
//                                 assign into "identity", "config" or "plan"
//   {"assert": expr, "error": expr}                         fail when falsy
#pragma once

#include <span>
#include <string>
#include <vector>

#include "core/json.h"
#include "core/result.h"
#include "plan/plan.h"

namespace kesvo {

// The plans of a device. `platforms`, when given, restricts the walk to the
// named platforms. Expression, program and statement failures end
// classification with an Invalid error carrying their message. A device
// without a matching category, a platform without an entity definition or
// an entry whose variants all fail to match yields no plan and no error.
Result<std::vector<Plan>> classify(const Value& rules, const Value& device, const Value& env,
                                   const std::vector<std::string>* platforms);

// Appends to `plans` one plan for each DP of `entries` (an adapter entry
// table: dpid text -> [code, strategy, config]) that no plan consumes and
// that the rule pack's "unused" rules accept. Entries are visited by dpid:
// decimal dpids first, in numeric order, then the others in byte order. A
// plan consumes its "depends_on" codes unless its entity definition has
// "expose": false; codes in `excluded` count as consumed from the start.
// Fails (Invalid) with the evaluation error of a "when" or the error of a
// steps program; every other condition skips the entry. On failure `plans`
// may hold some of the new plans; the caller discards the list.
Result<void> plan_unused(const Value& rules, const Value& device, const Object& entries, std::vector<Plan>& plans,
                         std::span<const std::string> excluded = {});

}  // namespace kesvo
