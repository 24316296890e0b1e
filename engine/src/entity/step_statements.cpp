#include "entity/step_statements.h"

#include "core/json_writer.h"
#include "core/value_rules.h"
#include "data/role_binding.h"
#include "expr/eval.h"

namespace kesvo {

namespace {

// The variables a "set" statement may assign into.
constexpr std::string_view kAssignable[] = {"identity", "config", "plan"};

// Evaluates member `name` of a statement (null when absent).
ExprResult eval_member(EvalContext& ctx, const Value& statement, std::string_view name) {
  const Value* v = statement.find(name);
  return evaluate(ctx, v ? *v : Value::null_value());
}

// The "codes" rule: a string is one code, an array gives its elements with
// every non-string replaced by "", anything else nothing.
std::vector<std::string> codes_of(const Value& v) {
  std::vector<std::string> out;
  if (v.is_string()) {
    out.push_back(v.as_string());
  } else if (v.is_array()) {
    out.reserve(v.as_array().size());
    for (const Value& item : v.as_array()) out.emplace_back(item.string_or_empty());
  }
  return out;
}

FlowResult bind_role(SpecRun& run, EvalContext& ctx, const Value& statement) {
  const Value name_v = KESVO_TRY(eval_member(ctx, statement, "role"));
  const Value codes_v = KESVO_TRY(eval_member(ctx, statement, "codes"));
  const Value prefer_v = KESVO_TRY(eval_member(ctx, statement, "prefer"));
  const Value types_v = KESVO_TRY(eval_member(ctx, statement, "types"));
  const Value required_v = KESVO_TRY(eval_member(ctx, statement, "required"));
  const std::vector<std::string> codes = codes_of(codes_v);
  const std::vector<std::string> types = codes_of(types_v);
  const bool prefer_function = prefer_v.is_string() && prefer_v.as_string() == "function";

  std::optional<Role> found = KESVO_TRY(resolve_role_any(run.device, codes, types, prefer_function));
  if (!found) {
    return truthy(required_v) ? ProgramFlow::Stop : ProgramFlow::Continue;
  }
  const std::string name(name_v.string_or_empty());
  Value record = role_to_json(*found);
  ctx.assign("value", run.device["status"][found->code]);
  if (Value* roles = run.held.writable(ctx, "roles")) roles->member(name) = record;
  ctx.assign("role", std::move(record));
  run.record_role(name, std::move(*found));
  return ProgramFlow::Continue;
}

std::string assign_only_message(std::string_view target) {
  std::string msg = "a variant can assign only [";
  for (size_t i = 0; i < std::size(kAssignable); ++i) {
    if (i) msg += ", ";
    msg += '"';
    msg += kAssignable[i];
    msg += '"';
  }
  msg += "], not ";
  msg += target;
  return msg;
}

FlowResult set_statement(SpecRun& run, EvalContext& ctx, const Value& statement, const Value& path) {
  const std::vector<std::string_view> segments = path_segments(path);
  const std::string_view target = segments.empty() ? std::string_view() : segments[0];
  bool allowed = false;
  for (std::string_view name : kAssignable) allowed = allowed || name == target;
  if (!allowed) return fail_msg(assign_only_message(target));

  if (const Value* merge = statement.find("merge")) {
    Value m = KESVO_TRY(evaluate(ctx, *merge));
    Value* var = run.held.writable(ctx, target);
    if (!var) return fail_msg("unknown assignment target " + std::string(target));
    // The value at the path becomes an object when it is not one; a merge
    // value that is not an object sets nothing.
    Value& dest = walk_path(*var, segments.data() + 1, segments.size() - 1);
    if (!dest.is_object()) dest = Value::object();
    if (m.is_object()) {
      Object& d = dest.as_object();
      for (Member& mem : m.as_object()) d.set(std::move(mem.key), std::move(mem.value));
    }
    return ProgramFlow::Continue;
  }
  Value v = KESVO_TRY(eval_member(ctx, statement, "value"));
  Value* var = run.held.writable(ctx, target);
  if (!var) return fail_msg("unknown assignment target " + std::string(target));
  walk_path(*var, segments.data() + 1, segments.size() - 1) = std::move(v);
  return ProgramFlow::Continue;
}

}  // namespace

void SpecRun::record_role(const std::string& name, Role role) {
  for (NamedRole& r : roles) {
    if (r.name == name) {
      r.role = std::move(role);
      return;
    }
  }
  roles.push_back(NamedRole{name, std::move(role)});
}

void SpecRun::bind_working(EvalContext& ctx, Value identity, Value roles_v, Value values) {
  held.bind(ctx, "identity", std::move(identity));
  held.bind(ctx, "config", Value::object());
  held.bind(ctx, "roles", std::move(roles_v));
  ctx.bind_stable("values", std::move(values));
  held.bind(ctx, "plan", Value::object());
}

FlowResult SpecRun::run(EvalContext& ctx, const Value& program) {
  return run_program(ctx, program, [this](EvalContext& c, const Value& statement) -> FlowResult {
    return spec_statement(*this, c, statement);
  });
}

Plan SpecRun::build_plan(EvalContext& ctx, std::string platform, std::string key, const Value* definition) {
  Plan plan;
  plan.platform = std::move(platform);
  plan.key = std::move(key);
  plan.identity = held.take(ctx, "identity");
  plan.config = held.take(ctx, "config");
  const Value plan_v = held.take(ctx, "plan");

  // Roles: the names of "role_order" first, then the others in binding order.
  plan.roles.reserve(roles.size());
  std::vector<bool> taken(roles.size(), false);
  if (definition) {
    for (const std::string& name : string_list(resolve_use(rules, (*definition)["role_order"]))) {
      for (size_t i = 0; i < roles.size(); ++i) {
        if (!taken[i] && roles[i].name == name) {
          plan.roles.push_back(std::move(roles[i]));
          taken[i] = true;
          break;
        }
      }
    }
  }
  for (size_t i = 0; i < roles.size(); ++i) {
    if (!taken[i]) plan.roles.push_back(std::move(roles[i]));
  }
  roles.clear();

  plan.depends_on = string_list(plan_v["depends_on"]);
  if (plan.depends_on.empty()) {
    for (const NamedRole& r : plan.roles) {
      bool seen = false;
      for (const std::string& c : plan.depends_on) seen = seen || c == r.role.code;
      if (!seen) plan.depends_on.push_back(r.role.code);
    }
  }
  plan.update_all = truthy(plan_v["update_all"]) ||
                    (definition && truthy(resolve_use(rules, (*definition)["update_all"])));
  const std::string_view slot = plan_v["slot_kind"].string_or_empty();
  if (slot == "event") {
    plan.slot_kind = SlotKind::Event;
  } else if (slot == "delta") {
    plan.slot_kind = SlotKind::Delta;
  }
  return plan;
}

FlowResult spec_statement(SpecRun& run, EvalContext& ctx, const Value& statement) {
  if (statement.find("role")) return bind_role(run, ctx, statement);
  if (const Value* cond = statement.find("require")) {
    const Value v = KESVO_TRY(evaluate(ctx, *cond));
    return truthy(v) ? ProgramFlow::Continue : ProgramFlow::Stop;
  }
  if (const Value* path = statement.find("set")) return set_statement(run, ctx, statement, *path);
  if (const Value* cond = statement.find("assert")) {
    const Value v = KESVO_TRY(evaluate(ctx, *cond));
    if (truthy(v)) return ProgramFlow::Continue;
    Value error = KESVO_TRY(eval_member(ctx, statement, "error"));
    return fail_msg(text_of(ctx, std::move(error)));
  }
  return fail_msg("unknown spec statement " + to_json(statement));
}

}  // namespace kesvo
