// The built-in functions of the expression language: operations whose
// operands are the evaluated elements of "args". They are total: a wrong
// operand type gives null, false, 0 or an empty value; the only failures are
// the resource limits.
//
// Groups (one source file each): comparison and tests, arithmetic, bits and
// hex, strings, collections, decoders.
#pragma once

#include <cstddef>
#include <string_view>

#include "core/json.h"
#include "expr/eval.h"

namespace kesvo {

// The evaluated arguments of one call; a missing position reads as null.
// Functions may move arguments out.
class Args {
 public:
  Args(Value* data, size_t size) : data_(data), size_(size) {}
  size_t size() const { return size_; }
  const Value& operator[](size_t i) const { return i < size_ ? data_[i] : Value::null_value(); }
  // Moves argument i out (null when missing).
  Value take(size_t i) { return i < size_ ? std::move(data_[i]) : Value(); }
  Value* begin() { return data_; }
  Value* end() { return data_ + size_; }
  const Value* begin() const { return data_; }
  const Value* end() const { return data_ + size_; }

 private:
  Value* data_;
  size_t size_;
};

// Whether `name` is a built-in function.
bool is_function(std::string_view name);

// Calls the built-in function `name` with evaluated arguments. `op` is the
// operation object ("lookup" reads its "default" member); pass null when
// there is none. An unknown name fails with "unknown expression op {name}".
ExprResult call_function(EvalContext& ctx, std::string_view name, Args& args,
                         const Value& op = Value::null_value());

}  // namespace kesvo
