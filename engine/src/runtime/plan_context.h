// The plan context: the evaluation context in which everything that
// belongs to one entity of a plan is computed (entity state, layout rows,
// actions, event detection). It binds, in this order, "rules", "entity",
// "status", "key", "identity" and "config", then "roles" (the role
// descriptions) and "values" (the roles' decoded values). The rule pack, the
// status, the entity definition and the plan's identity and configuration
// are bound by reference: the caller keeps them alive and unchanged while
// the context is used.
#pragma once

#include <string_view>

#include "core/json.h"
#include "expr/eval.h"
#include "plan/plan.h"

namespace kesvo {

// The entity definition of a plan (rules["entities"][platform]), or nullptr.
const Value* plan_entity(const Value& rules, const Plan& plan);

// The message for a plan whose platform has no entity definition.
std::string unknown_entity_message(const Plan& plan);

// Object of role name -> describe_role of the role, in role order.
Value plan_role_descriptions(const Plan& plan);

// Object of role name -> the role's value decoded from `status` (DP code
// -> value), in role order.
Value plan_role_values(const Plan& plan, const Value& status);

class PlanContext {
 public:
  // Binds "rules", "entity", "status", "key", "identity" and "config". The
  // function table is rules["functions"].
  PlanContext(const Value& rules, const Value& entity, const Plan& plan, const Value& status);
  PlanContext(const PlanContext&) = delete;
  PlanContext& operator=(const PlanContext&) = delete;

  // Binds "roles" and "values" computed from the plan and the status.
  void bind_roles_and_values();
  // Binds "roles" and "values" by reference to values the caller computed
  // (and keeps alive), e.g. from a cache.
  void bind_roles_and_values(const Value& roles, const Value& values);

  EvalContext& ctx() { return ctx_; }
  const Value& rules() const { return rules_; }
  const Value& entity() const { return entity_; }
  const Plan& plan() const { return plan_; }
  const Value& status() const { return status_; }

 private:
  const Value& rules_;
  const Value& entity_;
  const Plan& plan_;
  const Value& status_;
  EvalContext ctx_;
};

}  // namespace kesvo
