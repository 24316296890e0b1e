// Variables that statements modify in place ("identity", "config", "plan"
// during classification, "state" in machine programs). Their values are
// held here and bound into the context by reference, so an assignment to a
// nested member changes the held value instead of copying the whole
// variable. A "let" statement may still replace such a variable in the
// context; the next modification then takes a held copy of the new value.
//
// Also the assignment paths of "set" statements: a string split at ".", or
// an array whose strings are the segments (other items are the empty
// segment); anything else has no segments; and the "to_string" text used by
// statements that report a message.
#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "core/json.h"
#include "expr/eval.h"

namespace kesvo {

class HeldVariables {
 public:
  HeldVariables() = default;
  HeldVariables(const HeldVariables&) = delete;
  HeldVariables& operator=(const HeldVariables&) = delete;

  // Pushes a variable `name` referring to a value held here.
  void bind(EvalContext& ctx, std::string_view name, Value initial);

  // The value of the newest variable `name` for writing, or nullptr when no
  // such variable exists. The pointer stays valid while this object lives;
  // modify it only between evaluations.
  Value* writable(EvalContext& ctx, std::string_view name);

  // The final value of the newest variable `name` (null when none): moved
  // out when it is held here, copied otherwise.
  Value take(const EvalContext& ctx, std::string_view name);

 private:
  Value* held(const Value* v);
  std::deque<Value> values_;  // stable addresses
};

// The segments of an assignment path; views into `path`.
std::vector<std::string_view> path_segments(const Value& path);

// Walks `target` along `segments`, creating objects for missing members and
// replacing values that are not objects on the way, and returns the value
// at the end of the path (created as null when missing).
Value& walk_path(Value& target, const std::string_view* segments, size_t count);

// The "to_string" text of a value: "" for null, the text of a string, whole
// numbers below 1e15 as integer digits, other values as compact JSON.
std::string text_of(EvalContext& ctx, Value v);

}  // namespace kesvo
