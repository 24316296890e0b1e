// Machine programs, entity state and actions.
//
// A machine reacts to the driver's inputs with one of its programs ("update",
// "timer", "reset", or "write"[prop] for a command) and keeps a state value
// between runs. Besides "if", "$use" and "let", machine programs know the
// rule statements:
//   {"set": path, "value": expr}     assign inside "state" (the path's first
//                                    segment must be "state")
//   {"emit": name, "value": expr}    record an event (a later emit of the
//                                    same name replaces the value)
//   {"timer": name, "after": expr}   start (a finite number >= 0) or cancel
//                                    (null) a timer
//   {"send": {"code": expr, "value": expr}}   append a DP send
//
// An entity's state is computed by its definition's "state" ({"bind",
// "fields"}); a command for an entity property runs the definition's action
// program for the property (or the "*" action) with the action statements:
//   {"command": {"role": expr, "value": expr}}   encode a value for a role's DP
//   {"send": {"code": expr, "value": expr}}      append a raw DP send
//   {"fail": expr}                               refuse the command
#pragma once

#include <string>

#include "core/json.h"
#include "core/result.h"
#include "expr/eval.h"
#include "plan/plan.h"
#include "runtime/plan_context.h"

namespace kesvo {

// The programs of a machine, by the input that runs them.
enum class MachineInput { Update = 0, Timer = 1, Reset = 2, Write = 3 };

// What one machine program run produced.
struct MachineEffects {
  Value state;   // the final value of the variable "state"
  Object events; // event name -> value, in order of first emission
  Object timers; // timer name -> delay (a number), or null to cancel
  Array sends;   // {"code", "value"} objects, in order
};

// Runs one machine program. The program is definition["update"],
// ["timer"] or ["reset"], or for MachineInput::Write
// definition["write"][command["prop"]]; a missing program is empty. Each
// member of `variables` (an object) is bound as a variable referring to the
// caller's value, then "config" (also by reference) and "state" (a copy of
// `state`). Statement failures: "rules can assign only state slots", "no
// state", "timer delay must be a finite nonnegative number or null",
// "unknown rule statement"; every program error passes through.
Result<MachineEffects, std::string> run_machine(const Value& definition, MachineInput kind, const Value& command,
                                                const Value& state, const Value& config, const Value& variables);

// The entity state: binds "total" (a float), then every member of
// entity["state"]["bind"] in order as an evaluated variable, and evaluates
// every member of entity["state"]["fields"] in order into a new object.
// Missing "bind" or "fields" count as empty. The variables bound here are
// removed again before returning.
ExprResult entity_state(const Value& rules, const Value& entity, EvalContext& ctx, double total);

// The result of an action: the DP sends ({"code", "value"} objects), or the
// reason when a "fail" statement refused the command.
struct ActionOutcome {
  Array sends;
  bool refused = false;
  std::string reason;
};

// Runs the action for a command on property `prop` with value `args` in a
// plan context that already binds "roles" and "values": binds "action",
// "args" and "state" (the entity state with the running total `total`),
// then runs
// actions[prop], or actions["*"] when there is no entry for prop. Errors:
// Invalid "no write path" when neither exists, Invalid for evaluation and
// program errors and for "unknown action statement {statement}", and the
// errors of encode_command for a "command" statement.
// The variables bound here are removed again before returning.
Result<ActionOutcome> run_action(PlanContext& pc, std::string_view prop, const Value& args, double total = 0);

}  // namespace kesvo
