// Comparison and test functions.
#include "core/value_rules.h"
#include "expr/builtins.h"

namespace kesvo::expr {

namespace {

const char* type_name(const Value& v) {
  switch (v.type()) {
    case Value::Type::Null: return "null";
    case Value::Type::Bool: return "boolean";
    case Value::Type::UInt:
    case Value::Type::Int:
    case Value::Type::Double: return "number";
    case Value::Type::String: return "string";
    case Value::Type::Array: return "array";
    case Value::Type::Object: return "object";
  }
  return "null";
}

}  // namespace

ExprResult call_comparison(Op code, Args& args) {
  const Value& a = args[0];
  const Value& b = args[1];
  switch (code) {
    case Op::Eq: return Value(loose_equal(a, b));
    case Op::Ne: return Value(!loose_equal(a, b));
    case Op::Lt:
    case Op::Le:
    case Op::Gt:
    case Op::Ge: {
      // Only numbers are ordered; strings never are.
      if (!a.is_number() || !b.is_number()) return Value(false);
      const double x = a.number_as_double();
      const double y = b.number_as_double();
      switch (code) {
        case Op::Lt: return Value(x < y);
        case Op::Le: return Value(x <= y);
        case Op::Gt: return Value(x > y);
        default: return Value(x >= y);
      }
    }
    case Op::Same: return Value(strict_equal(a, b));
    case Op::Not: return Value(!truthy(a));
    case Op::Truthy: return Value(truthy(a));
    case Op::IsNull: return Value(a.is_null());
    case Op::IsNumber: return Value(a.is_number());
    case Op::IsInteger: return Value(a.is_integer());
    case Op::TypeOf: return Value(type_name(a));
    case Op::Some: return truthy(a) ? args.take(0) : Value();
    default: return Value();
  }
}

}  // namespace kesvo::expr
