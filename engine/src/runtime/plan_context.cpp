#include "runtime/plan_context.h"

#include "data/dp_codec.h"

namespace kesvo {

const Value* plan_entity(const Value& rules, const Plan& plan) {
  const Value* entities = rules.find("entities");
  return entities ? entities->find(plan.platform) : nullptr;
}

std::string unknown_entity_message(const Plan& plan) {
  return "plan platform " + plan.platform + " has no entity definition";
}

Value plan_role_descriptions(const Plan& plan) {
  Object o;
  o.reserve(plan.roles.size());
  for (const NamedRole& r : plan.roles) o.set(r.name, describe_role(r.role));
  return Value(std::move(o));
}

Value plan_role_values(const Plan& plan, const Value& status) {
  Object o;
  o.reserve(plan.roles.size());
  for (const NamedRole& r : plan.roles) o.set(r.name, decode_dp(r.role, status));
  return Value(std::move(o));
}

PlanContext::PlanContext(const Value& rules, const Value& entity, const Plan& plan, const Value& status)
    : rules_(rules), entity_(entity), plan_(plan), status_(status), ctx_(&rules["functions"]) {
  ctx_.bind_stable_ref("rules", rules);
  ctx_.bind_stable_ref("entity", entity);
  ctx_.bind_stable_ref("status", status);
  ctx_.bind_stable("key", Value(plan.key));
  ctx_.bind_stable_ref("identity", plan.identity);
  ctx_.bind_stable_ref("config", plan.config);
}

void PlanContext::bind_roles_and_values() {
  ctx_.bind_stable("roles", plan_role_descriptions(plan_));
  ctx_.bind_stable("values", plan_role_values(plan_, status_));
}

void PlanContext::bind_roles_and_values(const Value& roles, const Value& values) {
  ctx_.bind_stable_ref("roles", roles);
  ctx_.bind_stable_ref("values", values);
}

}  // namespace kesvo
