// The Role: the binding of one rule-pack role to one DP of a device, its JSON
// forms and the description shown to rules and to the host.
#pragma once

#include <string>

#include "core/json.h"
#include "core/result.h"
#include "data/dp_kind.h"

namespace kesvo {

// Immutable once built; owns its strings and values.
struct Role {
  std::string code;             // the DP code
  DpKind kind = DpKind::Integer;
  Value spec;                   // the DP's value spec (range, scale, bounds)
  Value report_type;            // copied from the DP description, null when absent
};

// {"code", "kind" (canonical name), "spec", "report_type"}, in this order.
Value role_to_json(const Role& role);

// Reads a role from its object form (all four members required) or from an
// array of exactly four values in the same order. "kind" may be any kind
// name; it is written back in its canonical form.
Result<Role, std::string> role_from_json(const Value& v);

// The description of a role: "code", "kind", "spec", "report_type", "range"
// (the spec's "range" array, or an empty one), and "lo", "hi", "step" (spec
// "min", "max", "step" divided by the scale factor) and "scale" (the factor),
// each through number_value. Written for every kind.
Value describe_role(const Role& role);

}  // namespace kesvo
