#include "machine/machine.h"

#include <cmath>
#include <optional>

#include "core/json_writer.h"
#include "entity/held_variables.h"

namespace kesvo {

namespace {

// Evaluates member `name` of `holder` (null when absent).
ExprResult eval_member(EvalContext& ctx, const Value& holder, std::string_view name) {
  const Value* v = holder.find(name);
  return evaluate(ctx, v ? *v : Value::null_value());
}

// {"code": code, "value": value}, in this order.
Value send_record(Value code, Value value) {
  Object o;
  o.reserve(2);
  o.append_new("code", std::move(code));
  o.append_new("value", std::move(value));
  return Value(std::move(o));
}

// The "send" statement shared by machines and actions.
Result<Value, std::string> eval_send(EvalContext& ctx, const Value& send) {
  Value code = KESVO_TRY(eval_member(ctx, send, "code"));
  Value value = KESVO_TRY(eval_member(ctx, send, "value"));
  return send_record(std::move(code), std::move(value));
}

FlowResult rule_statement(EvalContext& ctx, const Value& statement, HeldVariables& held, MachineEffects& fx) {
  if (const Value* path = statement.find("set")) {
    const std::vector<std::string_view> segments = path_segments(*path);
    if (segments.empty() || segments[0] != "state") return fail_msg("rules can assign only state slots");
    Value v = KESVO_TRY(eval_member(ctx, statement, "value"));
    Value* state = held.writable(ctx, "state");
    if (!state) return fail_msg("no state");
    walk_path(*state, segments.data() + 1, segments.size() - 1) = std::move(v);
    return ProgramFlow::Continue;
  }
  if (const Value* name = statement.find("emit")) {
    Value v = KESVO_TRY(eval_member(ctx, statement, "value"));
    fx.events.set(name->string_or_empty(), std::move(v));
    return ProgramFlow::Continue;
  }
  if (const Value* name = statement.find("timer")) {
    Value after = KESVO_TRY(eval_member(ctx, statement, "after"));
    // JSON numbers are always finite.
    const bool valid = after.is_null() || (after.is_number() && after.number_as_double() >= 0);
    if (!valid) return fail_msg("timer delay must be a finite nonnegative number or null");
    fx.timers.set(name->string_or_empty(), std::move(after));
    return ProgramFlow::Continue;
  }
  if (const Value* send = statement.find("send")) {
    fx.sends.push_back(KESVO_TRY(eval_send(ctx, *send)));
    return ProgramFlow::Continue;
  }
  return fail_msg("unknown rule statement");
}

const Value& machine_program(const Value& definition, MachineInput kind, const Value& command) {
  switch (kind) {
    case MachineInput::Update: return definition["update"];
    case MachineInput::Timer: return definition["timer"];
    case MachineInput::Reset: return definition["reset"];
    case MachineInput::Write: return definition["write"][command["prop"].string_or_empty()];
  }
  return Value::null_value();
}

}  // namespace

Result<MachineEffects, std::string> run_machine(const Value& definition, MachineInput kind, const Value& command,
                                                const Value& state, const Value& config, const Value& variables) {
  const Value& program = machine_program(definition, kind, command);
  EvalContext ctx;
  if (variables.is_object()) {
    for (const Member& m : variables.as_object()) ctx.bind_stable_ref(m.key, m.value);
  }
  ctx.bind_stable_ref("config", config);
  HeldVariables held;
  held.bind(ctx, "state", state);
  MachineEffects fx;
  KESVO_TRY(run_program(ctx, program, [&](EvalContext& c, const Value& statement) -> FlowResult {
    return rule_statement(c, statement, held, fx);
  }));
  fx.state = held.take(ctx, "state");
  return fx;
}

ExprResult entity_state(const Value& rules, const Value& entity, EvalContext& ctx, double total) {
  const Value& definition = resolve_use(rules, entity["state"]);
  const Value& bind = resolve_use(rules, definition["bind"]);
  const Value& fields = resolve_use(rules, definition["fields"]);
  ScopeMark mark(ctx);
  ctx.bind_stable("total", Value(std::isfinite(total) ? total : 0.0));
  if (bind.is_object()) {
    for (const Member& m : bind.as_object()) {
      Value v = KESVO_TRY(evaluate(ctx, m.value));
      ctx.bind(m.key, std::move(v));
    }
  }
  Object out;
  if (fields.is_object()) {
    out.reserve(fields.as_object().size());
    for (const Member& m : fields.as_object()) {
      Value v = KESVO_TRY(evaluate(ctx, m.value));
      out.append_new(m.key, std::move(v));
    }
  }
  return Value(std::move(out));
}

Result<ActionOutcome> run_action(PlanContext& pc, std::string_view prop, const Value& args, double total) {
  const Value& rules = pc.rules();
  const Value& actions = resolve_use(rules, pc.entity()["actions"]);
  const Value* program = actions.find(prop);
  if (!program) program = actions.find("*");
  if (!program) return fail(ErrorKind::Invalid, "no write path");

  EvalContext& ctx = pc.ctx();
  ScopeMark mark(ctx);
  ExprResult state = entity_state(rules, pc.entity(), ctx, total);
  if (!state.ok()) return fail(ErrorKind::Invalid, std::move(state).error());
  ctx.bind_stable("action", Value(prop));
  ctx.bind_stable_ref("args", args);
  ctx.bind_stable("state", std::move(state).value());

  ActionOutcome out;
  // A failed "command" keeps its error's category (codec errors are Value
  // errors); every other failure is Invalid.
  std::optional<EngineError> command_error;
  auto handler = [&](EvalContext& c, const Value& statement) -> FlowResult {
    if (const Value* command = statement.find("command")) {
      const Value role = KESVO_TRY(eval_member(c, *command, "role"));
      const Value value = KESVO_TRY(eval_member(c, *command, "value"));
      Result<Value> send = encode_command(pc.plan(), role.string_or_empty(), value);
      if (!send.ok()) {
        command_error = std::move(send).error();
        return fail_msg(command_error->message);
      }
      out.sends.push_back(std::move(send).value());
      return ProgramFlow::Continue;
    }
    if (const Value* send = statement.find("send")) {
      out.sends.push_back(KESVO_TRY(eval_send(c, *send)));
      return ProgramFlow::Continue;
    }
    if (const Value* reason = statement.find("fail")) {
      Value v = KESVO_TRY(evaluate(c, *reason));
      out.refused = true;
      out.reason = text_of(c, std::move(v));
      return ProgramFlow::Stop;
    }
    return fail_msg("unknown action statement " + to_json(statement));
  };
  FlowResult flow = run_program(ctx, resolve_use(rules, *program), handler);
  if (!flow.ok()) {
    if (command_error) return Failure<EngineError>{std::move(*command_error)};
    return fail(ErrorKind::Invalid, std::move(flow).error());
  }
  return out;
}

}  // namespace kesvo
