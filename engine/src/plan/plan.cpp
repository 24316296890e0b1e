#include "plan/plan.h"

#include <cmath>

#include "core/json_messages.h"
#include "core/json_writer.h"
#include "core/value_rules.h"
#include "data/dp_codec.h"
#include "machine/machine.h"
#include "runtime/plan_context.h"

namespace kesvo {

namespace {

constexpr std::string_view kMembers[8] = {"platform",   "key",        "identity",   "roles",
                                          "depends_on", "slot_kind",  "update_all", "config"};

Failure<std::string> expected(std::string_view member, std::string_view what, const Value& v) {
  return fail_msg(std::string(member) + ": expected " + std::string(what) + ", found " + std::string(json_type_phrase(v)));
}

Result<std::string, std::string> read_string(std::string_view member, const Value& v) {
  if (!v.is_string()) return expected(member, "a string", v);
  return v.as_string();
}

Result<Plan, std::string> plan_from_parts(const Value* const parts[8]) {
  Plan plan;
  plan.platform = KESVO_TRY(read_string("platform", *parts[0]));
  plan.key = KESVO_TRY(read_string("key", *parts[1]));
  plan.identity = *parts[2];

  const Value& roles = *parts[3];
  if (!roles.is_object()) return expected("roles", "an object", roles);
  plan.roles.reserve(roles.as_object().size());
  for (const Member& m : roles.as_object()) {
    Result<Role, std::string> role = role_from_json(m.value);
    if (!role.ok()) return fail_msg("roles: " + json_quoted(m.key) + ": " + role.error());
    plan.roles.push_back(NamedRole{m.key, std::move(role).value()});
  }

  const Value& depends_on = *parts[4];
  if (!depends_on.is_array()) return expected("depends_on", "an array of strings", depends_on);
  plan.depends_on.reserve(depends_on.as_array().size());
  for (const Value& code : depends_on.as_array()) {
    if (!code.is_string()) {
      return fail_msg("depends_on: expected an array of strings, found an item that is " + std::string(json_type_phrase(code)));
    }
    plan.depends_on.push_back(code.as_string());
  }

  const Value& slot = *parts[5];
  if (slot.is_null()) {
    plan.slot_kind = SlotKind::None;
  } else if (slot.is_string() && slot.as_string() == "event") {
    plan.slot_kind = SlotKind::Event;
  } else if (slot.is_string() && slot.as_string() == "delta") {
    plan.slot_kind = SlotKind::Delta;
  } else {
    return fail_msg("slot_kind: expected \"event\", \"delta\" or null, found " +
                    (slot.is_string() ? json_quoted(slot.as_string()) : std::string(json_type_phrase(slot))));
  }

  const Value& update_all = *parts[6];
  if (!update_all.is_bool()) return expected("update_all", "a boolean", update_all);
  plan.update_all = update_all.as_bool();
  plan.config = *parts[7];
  return plan;
}

}  // namespace

std::optional<std::string_view> slot_kind_name(SlotKind kind) {
  switch (kind) {
    case SlotKind::Event: return std::string_view("event");
    case SlotKind::Delta: return std::string_view("delta");
    case SlotKind::None: break;
  }
  return std::nullopt;
}

const Role* Plan::find_role(std::string_view name) const {
  for (const NamedRole& r : roles) {
    if (r.name == name) return &r.role;
  }
  return nullptr;
}

Value plan_to_json(const Plan& plan) {
  Object roles;
  roles.reserve(plan.roles.size());
  for (const NamedRole& r : plan.roles) roles.set(r.name, role_to_json(r.role));
  Array depends_on;
  depends_on.reserve(plan.depends_on.size());
  for (const std::string& code : plan.depends_on) depends_on.emplace_back(code);
  std::optional<std::string_view> slot = slot_kind_name(plan.slot_kind);

  Object o;
  o.reserve(8);
  o.append_new("platform", Value(plan.platform));
  o.append_new("key", Value(plan.key));
  o.append_new("identity", plan.identity);
  o.append_new("roles", Value(std::move(roles)));
  o.append_new("depends_on", Value(std::move(depends_on)));
  o.append_new("slot_kind", slot ? Value(*slot) : Value());
  o.append_new("update_all", Value(plan.update_all));
  o.append_new("config", plan.config);
  return Value(std::move(o));
}

Result<Plan, std::string> plan_from_json(const Value& json) {
  const Value* parts[8];
  if (json.is_array()) {
    const Array& a = json.as_array();
    if (a.size() != 8) {
      return fail_msg("a plan array must hold exactly eight values, found " + std::to_string(a.size()));
    }
    for (size_t i = 0; i < 8; ++i) parts[i] = &a[i];
    return plan_from_parts(parts);
  }
  if (!json.is_object()) {
    return fail_msg("expected a plan object or an array of eight values, found " + std::string(json_type_phrase(json)));
  }
  for (size_t i = 0; i < 8; ++i) {
    parts[i] = json.find(kMembers[i]);
    if (!parts[i]) return fail_msg(missing_field_message(kMembers[i]));
  }
  return plan_from_parts(parts);
}

Result<Value> encode_command(const Plan& plan, std::string_view role, const Value& value) {
  const Role* r = plan.find_role(role);
  if (!r) return fail(ErrorKind::Invalid, std::string(role) + " not available");
  Result<Value, std::string> raw = encode_dp(*r, value);
  if (!raw.ok()) return fail(ErrorKind::Value, std::move(raw).error());
  Object o;
  o.reserve(2);
  o.append_new("code", Value(r->code));
  o.append_new("value", std::move(raw).value());
  return Value(std::move(o));
}

bool concerns(const Plan& plan, std::span<const std::string> changed) {
  if (plan.update_all) return true;
  for (const std::string& code : plan.depends_on) {
    for (const std::string& c : changed) {
      if (c == code) return true;
    }
  }
  return false;
}

Result<std::optional<Value>, std::string> event_of(const Plan& plan, const Value& status,
                                                   std::span<const std::string> changed, const Value& rules) {
  if (plan.depends_on.empty()) return std::optional<Value>();
  const std::string& primary = plan.depends_on.front();
  bool triggered = false;
  for (const std::string& c : changed) triggered = triggered || c == primary;
  if (!triggered) return std::optional<Value>();

  const Value* entity = plan_entity(rules, plan);
  if (!entity) return fail_msg(unknown_entity_message(plan));
  PlanContext pc(rules, *entity, plan, status);
  pc.bind_roles_and_values();
  Value state = KESVO_TRY(entity_state(rules, *entity, pc.ctx(), 0));
  Value* ev = state.find("event");
  if (!ev || !truthy(*ev)) return std::optional<Value>();
  return std::optional<Value>(std::move(*ev));
}

bool delta_step(DeltaSlot& slot, const Value& value, const Value& ts, bool accept) {
  if (!accept || value.is_null() || ts.is_null()) return false;
  // Same JSON type and content: numbers only in the same representation.
  if (strict_equal(slot.last_ts, ts)) return false;
  double addend = to_number(value);
  if (!std::isfinite(addend)) addend = 0;
  const double total = slot.total + addend;
  if (!std::isfinite(total)) return false;
  slot.total = total;
  slot.last_ts = ts;
  return true;
}

}  // namespace kesvo
