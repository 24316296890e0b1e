// The program executor with its built-in statements "if", "$use" and
// "let", and template references.
#include "core/value_rules.h"
#include "expr/builtins.h"

namespace kesvo {

namespace {

using expr::fail_limit;
using expr::key_member;

FlowResult run_nested(EvalContext& ctx, const Value& program, StatementHandler handler);

// Runs a template by name for a "$use" statement.
FlowResult run_template(EvalContext& ctx, const Value& use, StatementHandler handler) {
  const Value* rules = ctx.lookup("rules");
  if (!rules) return fail_limit(expr::kTemplatesNeedRules);
  const Value& tmpl = (*rules)["templates"][use.string_or_empty()];
  // A caller-owned rule pack cannot change while the template runs. A rule
  // pack held by the variable itself can be replaced by a "let" statement
  // inside the template, so that template runs from a copy.
  if (ctx.is_reference("rules")) return run_nested(ctx, tmpl, handler);
  const Value copy = tmpl;
  return run_nested(ctx, copy, handler);
}

FlowResult run_nested(EvalContext& ctx, const Value& program, StatementHandler handler) {
  if (ctx.program_level >= kMaxDepth) return fail_limit(expr::kNestingLimit);
  if (program.is_null()) return ProgramFlow::Continue;
  if (!program.is_array()) return fail_limit(expr::kProgramNotArray);
  ++ctx.program_level;
  struct LevelGuard {
    EvalContext& ctx;
    ~LevelGuard() { --ctx.program_level; }
  } guard{ctx};

  for (const Value& stmt : program.as_array()) {
    if (ctx.instructions == 0) return fail_limit(expr::kInstructionLimit);
    --ctx.instructions;
    ProgramFlow flow = ProgramFlow::Continue;
    const Object* obj = stmt.is_object() ? &stmt.as_object() : nullptr;
    if (const Value* cond = obj ? key_member(*obj, "if") : nullptr) {
      const Value c = KESVO_TRY(evaluate(ctx, *cond));
      const Value* branch = truthy(c) ? key_member(*obj, "then") : key_member(*obj, "else");
      flow = KESVO_TRY(run_nested(ctx, branch ? *branch : Value::null_value(), handler));
    } else if (const Value* use = obj ? key_member(*obj, "$use") : nullptr) {
      flow = KESVO_TRY(run_template(ctx, *use, handler));
    } else if (const Value* let = obj ? key_member(*obj, "let") : nullptr) {
      const Value* value = key_member(*obj, "value");
      Value v = KESVO_TRY(evaluate(ctx, value ? *value : Value::null_value()));
      ctx.assign(let->string_or_empty(), std::move(v));
    } else {
      flow = KESVO_TRY(handler(ctx, stmt));
    }
    if (flow == ProgramFlow::Stop) return ProgramFlow::Stop;
  }
  return ProgramFlow::Continue;
}

}  // namespace

FlowResult run_program(EvalContext& ctx, const Value& program, StatementHandler handler) {
  // Outside a run this starts one with a fresh statement budget; from a
  // statement handler it is a nested program of the current run.
  if (ctx.program_level == 0) ctx.instructions = kInstructionBudget;
  return run_nested(ctx, program, handler);
}

const Value& resolve_use(const Value& rules, const Value& value) {
  const Value* cur = &value;
  for (int replacements = 0; replacements < 8; ++replacements) {
    const Value* use = cur->find("$use");
    if (!use || !use->is_string()) break;
    cur = &rules["templates"][use->as_string()];
  }
  return *cur;
}

}  // namespace kesvo
