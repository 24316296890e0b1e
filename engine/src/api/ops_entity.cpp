// Entity operations: classification, unused DPs, entity state, actions and
// plan updates.
#include <cmath>

#include "adapter/adapter.h"
#include "api/ops.h"
#include "api/request.h"
#include "core/value_rules.h"
#include "entity/classify.h"
#include "machine/machine.h"
#include "plan/plan.h"
#include "runtime/plan_context.h"

namespace kesvo {

namespace {

Value plans_to_json(const std::vector<Plan>& plans) {
  Array out;
  out.reserve(plans.size());
  for (const Plan& p : plans) out.push_back(plan_to_json(p));
  return Value(std::move(out));
}

Result<Plan> read_plan(const Value& request) { return req_typed<Plan>(request, "plan", plan_from_json); }

// "total" of "read": a number as a double, a string holding a decimal
// number parsed, true 1, anything else 0. A value that is not finite (the
// texts "inf" or "nan") reads as 0 as well, so the entity state never sees a
// number JSON cannot hold.
double read_total(const Value& v) {
  double total = 0;
  if (v.is_number()) {
    total = v.number_as_double();
  } else if (v.is_string()) {
    total = parse_float_text(v.as_string()).value_or(0.0);
  } else if (v.is_bool()) {
    total = v.as_bool() ? 1.0 : 0.0;
  }
  return std::isfinite(total) ? total : 0.0;
}

Result<const Value*> plan_entity_or_fail(const Value& rules, const Plan& plan) {
  const Value* entity = plan_entity(rules, plan);
  if (!entity) return fail(ErrorKind::Invalid, unknown_entity_message(plan));
  return entity;
}

}  // namespace

Result<Value> op_classify(OpCall& call) {
  const Value& req = call.request;
  const Value& listed = req_member(req, "platforms");
  std::vector<std::string> platforms;
  if (!listed.is_null()) {
    bool valid = listed.is_array();
    if (valid) {
      for (const Value& name : listed.as_array()) {
        if (!name.is_string()) {
          valid = false;
          break;
        }
        platforms.push_back(name.as_string());
      }
    }
    if (!valid) return fail(ErrorKind::Request, "platforms: expected an array of platform names or null");
  }
  std::vector<Plan> plans = KESVO_TRY(classify(call.rules->document(), req_member(req, "device"),
                                               req_member(req, "env"), listed.is_null() ? nullptr : &platforms));
  return plans_to_json(plans);
}

Result<Value> op_unused(OpCall& call) {
  const Value& req = call.request;
  const Object* entries = KESVO_TRY(req_typed<const Object*>(req, "entries", entries_view_from_json));
  const std::vector<std::string> consumed = req_string_list(req, "consumed");
  std::vector<Plan> plans;
  KESVO_CHECK(plan_unused(call.rules->document(), req_member(req, "device"), *entries, plans, consumed));
  return plans_to_json(plans);
}

Result<Value> op_read(OpCall& call) {
  const Value& req = call.request;
  const Value& rules = call.rules->document();
  const Plan plan = KESVO_TRY(read_plan(req));
  const double total = read_total(req_member(req, "total"));
  const Value* entity = KESVO_TRY(plan_entity_or_fail(rules, plan));
  PlanContext pc(rules, *entity, plan, req_member(req, "status"));
  pc.bind_roles_and_values();
  ExprResult state = entity_state(rules, *entity, pc.ctx(), total);
  if (!state.ok()) return fail(ErrorKind::Invalid, std::move(state).error());
  return std::move(state).value();
}

Result<Value> op_write(OpCall& call) {
  const Value& req = call.request;
  const Value& rules = call.rules->document();
  const Plan plan = KESVO_TRY(read_plan(req));
  const Value* entity = KESVO_TRY(plan_entity_or_fail(rules, plan));
  PlanContext pc(rules, *entity, plan, req_member(req, "status"));
  pc.bind_roles_and_values();
  ActionOutcome outcome = KESVO_TRY(run_action(pc, req_string(req, "action"), req_member(req, "args")));
  // A refused command is an error, never a successful empty write.
  if (outcome.refused) return fail(ErrorKind::Invalid, std::move(outcome.reason));
  return Value(std::move(outcome.sends));
}

Result<Value> op_on_update(OpCall& call) {
  const Value& req = call.request;
  const Plan plan = KESVO_TRY(read_plan(req));
  Value slot = req_member(req, "slot");
  bool write_state = true;
  Value fire;

  if (req_has(req, "changed")) {
    const std::vector<std::string> changed = req_string_list(req, "changed");
    const Value& status = req_member(req, "status");
    switch (plan.slot_kind) {
      case SlotKind::Event: {
        auto event = event_of(plan, status, changed, call.rules->document());
        if (!event.ok()) return fail(ErrorKind::Invalid, std::move(event).error());
        if (event.value()) {
          fire = std::move(*event.value());
        } else {
          write_state = false;
        }
        break;
      }
      case SlotKind::None: write_state = concerns(plan, changed); break;
      case SlotKind::Delta: {
        if (plan.depends_on.empty()) {
          write_state = false;
          break;
        }
        const std::string& primary = plan.depends_on.front();
        double total = to_number(slot["total"]);
        DeltaSlot delta{std::isfinite(total) ? total : 0.0, slot["last_ts"]};
        bool accept = false;
        for (const std::string& c : changed) accept = accept || c == primary;
        write_state = delta_step(delta, status[primary], req_member(req, "timestamps")[primary], accept);
        if (write_state) {
          slot.member("total") = Value(delta.total);
          slot.member("last_ts") = std::move(delta.last_ts);
        }
        break;
      }
    }
  }

  Object out;
  out.reserve(3);
  out.append_new("slot", std::move(slot));
  out.append_new("write_state", Value(write_state));
  out.append_new("fire", std::move(fire));
  return Value(std::move(out));
}

}  // namespace kesvo
