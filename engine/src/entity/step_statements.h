// Internal to classification: the spec statements of variant programs and
// the assembly of a plan from the variables they leave behind.
#pragma once

#include <string>
#include <vector>

#include "core/json.h"
#include "entity/held_variables.h"
#include "expr/eval.h"
#include "plan/plan.h"

namespace kesvo {

// One leaf run: the rule pack and device the roles are bound against, the
// working variables and the role map (role name -> Role, in binding order).
struct SpecRun {
  const Value& rules;
  const Value& device;
  HeldVariables& held;  // outlives the context's references to the variables
  std::vector<NamedRole> roles;

  SpecRun(const Value& rules, const Value& device, HeldVariables& held) : rules(rules), device(device), held(held) {}

  // Records a role under its name: replaces a role of the same name in
  // place, or appends it.
  void record_role(const std::string& name, Role role);

  // Binds the working variables "identity", "config", "roles", "values" and
  // "plan", in this order.
  void bind_working(EvalContext& ctx, Value identity, Value roles, Value values);

  // Runs a spec program with a fresh statement budget.
  FlowResult run(EvalContext& ctx, const Value& program);

  // The plan made from the variables: the roles of the role map, the names
  // listed by the definition's "role_order" first (when there is a
  // definition); "depends_on" from "plan" or else the roles' codes;
  // "update_all" from "plan" or else the definition; "slot_kind" from
  // "plan". Consumes the working variables and the role map.
  Plan build_plan(EvalContext& ctx, std::string platform, std::string key, const Value* definition);
};

// The spec statement handler: role binding, "require", "set", "assert".
FlowResult spec_statement(SpecRun& run, EvalContext& ctx, const Value& statement);

}  // namespace kesvo
