#include "entity/held_variables.h"

#include "expr/functions.h"

namespace kesvo {

void HeldVariables::bind(EvalContext& ctx, std::string_view name, Value initial) {
  values_.push_back(std::move(initial));
  ctx.bind_ref(name, values_.back());
}

Value* HeldVariables::held(const Value* v) {
  // The newest held values are the likeliest match.
  for (auto it = values_.rbegin(); it != values_.rend(); ++it) {
    if (&*it == v) return &*it;
  }
  return nullptr;
}

Value* HeldVariables::writable(EvalContext& ctx, std::string_view name) {
  const Value* current = ctx.lookup(name);
  if (!current) return nullptr;
  if (Value* v = held(current)) return v;
  // The variable was replaced (or shadowed) by a value the context owns:
  // continue with a held copy of it.
  values_.push_back(*current);
  ctx.bind_ref(name, values_.back());
  return &values_.back();
}

Value HeldVariables::take(const EvalContext& ctx, std::string_view name) {
  const Value* current = ctx.lookup(name);
  if (!current) return Value();
  if (Value* v = held(current)) return std::move(*v);
  return *current;
}

std::vector<std::string_view> path_segments(const Value& path) {
  std::vector<std::string_view> out;
  if (path.is_string()) {
    std::string_view s = path.as_string();
    size_t start = 0;
    while (true) {
      size_t dot = s.find('.', start);
      if (dot == std::string_view::npos) {
        out.push_back(s.substr(start));
        break;
      }
      out.push_back(s.substr(start, dot - start));
      start = dot + 1;
    }
  } else if (path.is_array()) {
    out.reserve(path.as_array().size());
    for (const Value& seg : path.as_array()) out.push_back(seg.string_or_empty());
  }
  return out;
}

Value& walk_path(Value& target, const std::string_view* segments, size_t count) {
  Value* cur = &target;
  for (size_t i = 0; i < count; ++i) {
    // member() turns a value that is not an object into an empty object and
    // appends the member with null when it is missing.
    cur = &cur->member(segments[i]);
  }
  return *cur;
}

std::string text_of(EvalContext& ctx, Value v) {
  Value arg[1] = {std::move(v)};
  Args args(arg, 1);
  ExprResult r = call_function(ctx, "to_string", args);
  return r.ok() ? std::string(r.value().string_or_empty()) : std::string();
}

}  // namespace kesvo
