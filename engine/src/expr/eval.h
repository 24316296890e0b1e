// The expression and program language of rule packs.
//
// An expression is any JSON value: an object whose member "op" is a string is
// an operation (a special form or a built-in function, see expr/functions.h);
// everything else is a literal that evaluates to a copy of itself. A program
// is an array of statement objects (null is the empty program); the three
// built-in statements are "if", "$use" and "let", every other statement goes
// to the caller's handler.
//
// Every evaluation runs in an EvalContext: the variables in scope, the rule
// pack's function table and the budgets that bound the work of one context
// (operations, nesting, produced value nodes and text bytes, statements).
// Failures are plain message strings that propagate unchanged to the caller.
//
// Typical use:
//
//   EvalContext ctx(&rules["functions"]);
//   ctx.bind_ref("rules", rules);      // caller-owned, not copied
//   ctx.bind_ref("status", status);
//   ExprResult r = evaluate(ctx, expr);
//
//   FlowResult f = run_program(ctx, program, [&](EvalContext& c, const Value& stmt) -> FlowResult {
//     ... the caller's own statements ...
//     return ProgramFlow::Continue;
//   });
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "core/json.h"
#include "core/result.h"

namespace kesvo {

// The value of an expression, or the message of the failure.
using ExprResult = Result<Value, std::string>;

// How a program run ended: normally, or by a statement that stops the whole
// run (enclosing programs included).
enum class ProgramFlow { Continue, Stop };
using FlowResult = Result<ProgramFlow, std::string>;

// Budgets every context starts with.
inline constexpr uint32_t kStepBudget = 1'000'000;       // operations
inline constexpr uint32_t kMaxDepth = 64;                // nested operations, value levels, programs
inline constexpr uint32_t kAllocNodeBudget = 1'000'000;  // value nodes produced
inline constexpr uint32_t kAllocByteBudget = 16'777'216; // text bytes produced
inline constexpr uint32_t kInstructionBudget = 10'000;   // statements of one program run
// Limits of a single value.
inline constexpr uint64_t kMaxValueNodes = 100'000;
inline constexpr uint64_t kMaxValueBytes = 1'048'576;

class EvalContext {
 public:
  // `functions` is the rule pack's "functions" object (or null / nullptr for
  // none); the caller keeps it alive as long as the context.
  explicit EvalContext(const Value* functions = nullptr) : functions(functions) {}
  EvalContext(const EvalContext&) = delete;
  EvalContext& operator=(const EvalContext&) = delete;

  // Pushes a variable that owns its value.
  void bind(std::string_view name, Value value);
  // Pushes a variable that refers to a caller-owned value (a rule pack, a
  // device status, an entity state); it is neither copied nor charged until
  // an operation copies part of it out. The caller guarantees the value
  // outlives the context and does not change while the context uses it.
  void bind_ref(std::string_view name, const Value& value);
  // Replaces the value of the newest variable named `name`, or pushes a new
  // variable when there is none.
  void assign(std::string_view name, Value value);
  // The value of the newest variable named `name`, or nullptr. The pointer
  // stays valid until the scope changes.
  const Value* lookup(std::string_view name) const {
    for (size_t i = scope_.size(); i-- > 0;) {
      const Variable& v = scope_[i];
      if (v.name == name) return v.ref ? v.ref : &v.owned;
    }
    return nullptr;
  }
  // Whether the newest variable named `name` refers to a caller-owned value.
  bool is_reference(std::string_view name) const;

  // Scope marks: everything pushed after a mark is removed by restoring it.
  size_t scope_size() const { return scope_.size(); }
  void truncate_scope(size_t size) {
    while (scope_.size() > size) scope_.pop_back();
  }

  // Pushes variables whose name text outlives the binding (a key of the
  // expression being evaluated, a static text): the name is not copied.
  void bind_stable(std::string_view name, Value value) {
    make_room();
    scope_.push_back(Variable{name, nullptr, std::move(value), {}});
  }
  void bind_stable_ref(std::string_view name, const Value& value) {
    make_room();
    scope_.push_back(Variable{name, &value, Value(), {}});
  }

  const Value* functions = nullptr;
  uint32_t steps = kStepBudget;
  uint32_t depth = 0;
  uint32_t alloc_nodes = kAllocNodeBudget;
  uint32_t alloc_bytes = kAllocByteBudget;
  // Program runs: statements left in the current run, and the number of
  // programs currently running (0 outside any run).
  uint32_t instructions = kInstructionBudget;
  uint32_t program_level = 0;

 private:
  struct Variable {
    std::string_view name;  // refers to `name_text` or to text that outlives the binding
    const Value* ref;       // caller-owned value, or nullptr when `owned` holds it
    Value owned;
    std::string name_text;  // the name's own copy, for names bound through bind / bind_ref / assign
  };
  // Grows the scope ahead of a push; a move of the variables relocates the
  // names they hold themselves, so their views are renewed.
  void make_room() {
    if (scope_.size() < scope_.capacity()) return;
    scope_.reserve(scope_.empty() ? 8 : scope_.size() * 2);
    for (Variable& v : scope_) {
      if (!v.name_text.empty()) v.name = v.name_text;
    }
  }
  void push_owned_name(std::string_view name, const Value* ref, Value value);

  std::vector<Variable> scope_;
};

// Restores the scope to its size at construction when leaving a block.
class ScopeMark {
 public:
  explicit ScopeMark(EvalContext& ctx) : ctx_(ctx), size_(ctx.scope_size()) {}
  ~ScopeMark() { ctx_.truncate_scope(size_); }
  ScopeMark(const ScopeMark&) = delete;
  ScopeMark& operator=(const ScopeMark&) = delete;
  void restore() { ctx_.truncate_scope(size_); }

 private:
  EvalContext& ctx_;
  size_t size_;
};

inline void bind(EvalContext& ctx, std::string_view name, Value value) { ctx.bind(name, std::move(value)); }
inline void assign(EvalContext& ctx, std::string_view name, Value value) { ctx.assign(name, std::move(value)); }

// Evaluates an expression. Literals are copied (and charged); operations
// consume one step each, may nest at most 64 deep, and their results are
// charged against the context's node and byte budgets.
ExprResult evaluate(EvalContext& ctx, const Value& expr);

// Charges a value produced in the context: fails with the nesting, value
// size, text size or allocation limit message.
Result<void, std::string> charge(EvalContext& ctx, const Value& v);

// A non-owning reference to a callable, for statement handlers.
template <class Sig>
class FunctionRef;
template <class R, class... A>
class FunctionRef<R(A...)> {
 public:
  template <class F, std::enable_if_t<!std::is_same_v<std::decay_t<F>, FunctionRef> &&
                                          std::is_invocable_r_v<R, F&, A...>,
                                      int> = 0>
  FunctionRef(F&& f) noexcept  // NOLINT: implicit by design
      : obj_(const_cast<void*>(static_cast<const void*>(std::addressof(f)))),
        call_([](void* obj, A... args) -> R {
          return (*static_cast<std::remove_reference_t<F>*>(obj))(std::forward<A>(args)...);
        }) {}
  R operator()(A... args) const { return call_(obj_, std::forward<A>(args)...); }

 private:
  void* obj_;
  R (*call_)(void*, A...);
};

// The caller's statements: offered every statement that is not "if",
// "$use" or "let"; returns Continue, Stop or a failure message.
using StatementHandler = FunctionRef<FlowResult(EvalContext&, const Value& statement)>;

// Runs a program. Called outside a run it starts one (10,000 statements for
// the run, level 0); called from a statement handler during a run it runs a
// nested program that shares the run's statement budget one level deeper.
// Programs may nest up to level 63. Variables assigned by "let" statements
// stay in scope until the context is discarded.
FlowResult run_program(EvalContext& ctx, const Value& program, StatementHandler handler);

// Follows template references: while `value` is an object with a string
// member "$use", replaces it by rules["templates"][name] (null when
// missing), at most 8 times. The result refers into `rules` or is `value`.
const Value& resolve_use(const Value& rules, const Value& value);

}  // namespace kesvo
