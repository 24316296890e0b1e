// The evaluation context and the expression evaluator: literals, the
// special forms and the dispatch of function operations.
#include "expr/eval.h"

#include "core/value_rules.h"
#include "expr/builtins.h"

namespace kesvo {

// ---------------------------------------------------------------------------
// Scope

void EvalContext::push_owned_name(std::string_view name, const Value* ref, Value value) {
  make_room();
  scope_.push_back(Variable{std::string_view(""), ref, std::move(value), std::string(name)});
  Variable& v = scope_.back();
  if (!v.name_text.empty()) v.name = v.name_text;  // an empty name keeps its empty static view
}

void EvalContext::bind(std::string_view name, Value value) { push_owned_name(name, nullptr, std::move(value)); }

void EvalContext::bind_ref(std::string_view name, const Value& value) { push_owned_name(name, &value, Value()); }

void EvalContext::assign(std::string_view name, Value value) {
  for (size_t i = scope_.size(); i-- > 0;) {
    Variable& v = scope_[i];
    if (v.name == name) {
      v.owned = std::move(value);
      v.ref = nullptr;
      return;
    }
  }
  bind(name, std::move(value));
}

bool EvalContext::is_reference(std::string_view name) const {
  for (size_t i = scope_.size(); i-- > 0;) {
    if (scope_[i].name == name) return scope_[i].ref != nullptr;
  }
  return false;
}

namespace expr {

namespace {

// Values with a small inline buffer: the evaluated arguments of one
// operation rarely exceed four.
class ValueBuffer {
 public:
  explicit ValueBuffer(size_t expected) {
    if (expected > kInline) heap_.reserve(expected);
  }
  ValueBuffer(const ValueBuffer&) = delete;
  ValueBuffer& operator=(const ValueBuffer&) = delete;

  void push(Value v) {
    if (heap_.empty() && size_ < kInline) {
      inline_[size_++] = std::move(v);
      return;
    }
    if (heap_.empty()) {
      heap_.reserve(kInline * 2);
      for (size_t i = 0; i < size_; ++i) heap_.push_back(std::move(inline_[i]));
    }
    heap_.push_back(std::move(v));
    ++size_;
  }
  Value* data() { return heap_.empty() ? inline_ : heap_.data(); }
  size_t size() const { return size_; }

 private:
  static constexpr size_t kInline = 4;
  Value inline_[kInline];
  std::vector<Value> heap_;
  size_t size_ = 0;
};

// The "args" member as a list of expressions (null when not an array).
inline const Array* args_of(const Object& op) {
  const Value* a = key_member(op, "args");
  return a && a->is_array() ? &a->as_array() : nullptr;
}

// One step of a "get" path into the current value.
const Value* step_text(const Value& cur, std::string_view seg) {
  if (cur.is_object()) return cur.as_object().find(seg);
  if (cur.is_array()) {
    std::optional<uint64_t> i = index_from_text(seg);
    if (i && *i < cur.as_array().size()) return &cur.as_array()[*i];
  }
  return nullptr;
}

const Value* step_value(const Value& cur, const Value& seg) {
  if (cur.is_object()) return cur.as_object().find(seg.string_or_empty());
  if (cur.is_array()) {
    std::optional<uint64_t> i = index_from_segment(seg);
    if (i && *i < cur.as_array().size()) return &cur.as_array()[*i];
  }
  return nullptr;
}

ExprResult form_get(EvalContext& ctx, const Object& op) {
  const Value& path = key_member_or_null(op, "path");
  const Value* found = nullptr;
  if (path.is_string()) {
    const std::string_view p = path.as_string();
    size_t dot = p.find('.');
    found = ctx.lookup(p.substr(0, dot));
    while (found && dot != std::string_view::npos) {
      const size_t start = dot + 1;
      dot = p.find('.', start);
      found = step_text(*found, p.substr(start, dot == std::string_view::npos ? std::string_view::npos : dot - start));
    }
  } else if (path.is_array() && !path.as_array().empty()) {
    // The segments are evaluated first, then the walk reads the scope.
    const Array& exprs = path.as_array();
    ValueBuffer segs(exprs.size());
    for (const Value& e : exprs) segs.push(KESVO_TRY(evaluate(ctx, e)));
    const Value* s = segs.data();
    found = ctx.lookup(s[0].string_or_empty());
    for (size_t i = 1; found && i < segs.size(); ++i) found = step_value(*found, s[i]);
  }
  if (found) return Value(*found);
  const Value* def = key_member(op, "default");
  if (!def) return Value();
  return evaluate(ctx, *def);
}

ExprResult form_let(EvalContext& ctx, const Object& op) {
  ScopeMark mark(ctx);
  const Value* binds = key_member(op, "bind");
  if (binds && binds->is_object()) {
    for (const Member& m : binds->as_object()) {
      Value v = KESVO_TRY(evaluate(ctx, m.value));
      ctx.bind_stable(m.key, std::move(v));
    }
  }
  const Value* in = key_member(op, "in");
  if (!in) return Value();
  return evaluate(ctx, *in);
}

ExprResult form_record(EvalContext& ctx, const Object& op) {
  const Value* fields = key_member(op, "fields");
  Object out;
  if (fields && fields->is_object()) {
    out.reserve(fields->as_object().size());
    // The keys of the source object are unique already.
    for (const Member& m : fields->as_object()) out.append_new(m.key, KESVO_TRY(evaluate(ctx, m.value)));
  }
  return Value(std::move(out));
}

ExprResult form_call(EvalContext& ctx, const Object& op) {
  const std::string_view name = key_member_or_null(op, "fn").string_or_empty();
  const Value* def = ctx.functions ? ctx.functions->find(name) : nullptr;
  if (!def || !def->is_object()) return fail_msg("unknown function " + std::string(name));
  const Array* exprs = args_of(op);
  ValueBuffer args(exprs ? exprs->size() : 0);
  if (exprs) {
    for (const Value& e : *exprs) args.push(KESVO_TRY(evaluate(ctx, e)));
  }
  ScopeMark mark(ctx);
  const Value* params = key_member(def->as_object(), "params");
  if (params && params->is_array()) {
    const Array& ps = params->as_array();
    for (size_t i = 0; i < ps.size(); ++i) {
      ctx.bind_stable(ps[i].string_or_empty(), i < args.size() ? std::move(args.data()[i]) : Value());
    }
  }
  const Value* body = key_member(def->as_object(), "body");
  return evaluate(ctx, body ? *body : Value::null_value());
}

ExprResult form_flags(EvalContext& ctx, const Object& op) {
  const Value table = KESVO_TRY(evaluate(ctx, key_member_or_null(op, "table")));
  const std::string_view table_name = table.string_or_empty();
  uint64_t mask = 0;
  const Value* when = key_member(op, "when");
  if (when && when->is_object()) {
    for (const Member& m : when->as_object()) {
      const Value cond = KESVO_TRY(evaluate(ctx, m.value));
      if (truthy(cond)) mask |= static_cast<uint64_t>(feature_mask(ctx, table_name, m.key));
    }
  }
  return Value::from_i64(static_cast<int64_t>(mask));
}

// "map", "filter", "find", "count", "any", "all".
ExprResult form_iterate(EvalContext& ctx, const Object& op, Op code) {
  Value list;
  if (const Array* exprs = args_of(op); exprs && !exprs->empty()) list = KESVO_TRY(evaluate(ctx, (*exprs)[0]));
  std::string_view name = "item";
  if (const Value* as = key_member(op, "as")) name = as->string_or_empty();
  const Value& body = key_member_or_null(op, "do");

  Array out;
  uint64_t count = 0;
  if (list.is_array()) {
    Array& elems = list.as_array();
    if (code == Op::Map) out.reserve(elems.size());
    ScopeMark mark(ctx);
    for (Value& elem : elems) {
      // The element is bound by reference: `list` is owned here and stays
      // unchanged while the body runs.
      ctx.bind_stable_ref(name, elem);
      ExprResult r = evaluate(ctx, body);
      mark.restore();
      if (!r.ok()) return std::move(r).failure();
      switch (code) {
        case Op::Map: out.push_back(std::move(r).value()); break;
        case Op::Filter:
          if (truthy(r.value())) out.push_back(std::move(elem));
          break;
        case Op::Find:
          if (truthy(r.value())) return std::move(elem);
          break;
        case Op::Count: count += truthy(r.value()); break;
        case Op::Any:
          if (truthy(r.value())) return Value(true);
          break;
        default:  // Op::All
          if (!truthy(r.value())) return Value(false);
          break;
      }
    }
  }
  switch (code) {
    case Op::Map:
    case Op::Filter: return Value(std::move(out));
    case Op::Find: return Value();
    case Op::Count: return Value::from_u64(count);
    case Op::Any: return Value(false);
    default: return Value(true);
  }
}

ExprResult dispatch(EvalContext& ctx, const Value& expr, std::string_view name) {
  const Object& op = expr.as_object();
  const Op code = lookup_op(name);
  switch (code) {
    case Op::Literal: return Value(key_member_or_null(op, "value"));
    case Op::If: {
      const Value cond = KESVO_TRY(evaluate(ctx, key_member_or_null(op, "condition")));
      const Value* branch = truthy(cond) ? key_member(op, "then") : key_member(op, "else");
      if (!branch) return Value();
      return evaluate(ctx, *branch);
    }
    case Op::And:
    case Op::Or: {
      const bool is_and = code == Op::And;
      if (const Array* exprs = args_of(op)) {
        for (const Value& e : *exprs) {
          const Value v = KESVO_TRY(evaluate(ctx, e));
          if (truthy(v) != is_and) return Value(!is_and);
        }
      }
      return Value(is_and);
    }
    case Op::Coalesce: {
      if (const Array* exprs = args_of(op)) {
        for (const Value& e : *exprs) {
          Value v = KESVO_TRY(evaluate(ctx, e));
          if (!v.is_null()) return v;
        }
      }
      return Value();
    }
    case Op::Get: return form_get(ctx, op);
    case Op::Let: return form_let(ctx, op);
    case Op::Record: return form_record(ctx, op);
    case Op::Error: {
      const Value message = KESVO_TRY(evaluate(ctx, key_member_or_null(op, "message")));
      return fail_msg(std::string(message.string_or_empty()));
    }
    case Op::Call: return form_call(ctx, op);
    case Op::Map:
    case Op::Filter:
    case Op::Find:
    case Op::Count:
    case Op::Any:
    case Op::All: return form_iterate(ctx, op, code);
    case Op::Flags: return form_flags(ctx, op);
    default: break;
  }
  // A function operation: the arguments are evaluated first, even when the
  // name turns out to be unknown.
  const Array* exprs = args_of(op);
  ValueBuffer buf(exprs ? exprs->size() : 0);
  if (exprs) {
    for (const Value& e : *exprs) buf.push(KESVO_TRY(evaluate(ctx, e)));
  }
  if (code == Op::Unknown) return fail_msg("unknown expression op " + std::string(name));
  Args args(buf.data(), buf.size());
  return call_builtin(code, ctx, args, expr);
}

}  // namespace

}  // namespace expr

ExprResult evaluate(EvalContext& ctx, const Value& expr) {
  using namespace expr;
  const Value* name = expr.is_object() ? key_member(expr.as_object(), "op") : nullptr;
  if (!name || !name->is_string()) {
    KESVO_CHECK(charge(ctx, expr));
    return Value(expr);
  }
  if (ctx.steps == 0) return fail_limit(kEvalLimit);
  --ctx.steps;
  if (ctx.depth >= kMaxDepth) return fail_limit(kNestingLimit);
  ++ctx.depth;
  ExprResult r = dispatch(ctx, expr, name->as_string());
  --ctx.depth;
  if (r.ok()) KESVO_CHECK(charge(ctx, r.value()));
  return r;
}

}  // namespace kesvo
