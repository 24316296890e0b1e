#include "data/quirk_condition.h"

#include "core/value_rules.h"

namespace kesvo {

namespace {

bool is_numeric(const Value& v) { return v.is_number() || v.is_bool(); }

}  // namespace

Value eval_quirk_condition(const Value& condition, const Value& status) {
  if (!condition.is_object()) return condition;
  const Member* first = condition.as_object().first();
  if (!first) return Value();
  const std::string& op = first->key;
  const Value& arg = first->value;
  if (op == "status") return status[arg.string_or_empty()];
  if (op == "ge") {
    const Value a = eval_quirk_condition(arg.at(0), status);
    const Value b = eval_quirk_condition(arg.at(1), status);
    return Value(is_numeric(a) && is_numeric(b) && to_number(a) >= to_number(b));
  }
  if (op == "and") {
    if (!arg.is_array()) return Value(false);
    for (const Value& item : arg.as_array()) {
      if (!truthy(eval_quirk_condition(item, status))) return Value(false);
    }
    return Value(true);
  }
  if (op == "or") {
    if (!arg.is_array()) return Value(false);
    for (const Value& item : arg.as_array()) {
      if (truthy(eval_quirk_condition(item, status))) return Value(true);
    }
    return Value(false);
  }
  if (op == "not") return Value(!truthy(eval_quirk_condition(arg, status)));
  if (op == "is_int") {
    const Value v = eval_quirk_condition(arg, status);
    return Value(v.is_integer() || v.is_bool());
  }
  return Value();
}

}  // namespace kesvo
