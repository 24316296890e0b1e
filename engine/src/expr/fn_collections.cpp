// Collection functions. "list", "zip", "concat", "flatten" and "object"
// copy whole arguments and so run the size pre-check first.
#include <algorithm>

#include "core/value_rules.h"
#include "expr/builtins.h"

namespace kesvo::expr {

namespace {

// A two-element array, without the copies an initializer list would make.
Value pair_of(Value a, Value b) {
  Array pair;
  pair.reserve(2);
  pair.push_back(std::move(a));
  pair.push_back(std::move(b));
  return Value(std::move(pair));
}

// One element of "concat": null contributes nothing, an array its
// elements, anything else itself.
void concat_into(Value&& v, Array& out) {
  if (v.is_null()) return;
  if (v.is_array()) {
    Array& elems = v.as_array();
    if (out.empty()) {
      out = std::move(elems);
      return;
    }
    out.reserve(out.size() + elems.size());
    for (Value& e : elems) out.push_back(std::move(e));
    return;
  }
  out.push_back(std::move(v));
}

Value zip(Value a, Value b) {
  Array out;
  if (!a.is_array() || !b.is_array()) return Value(std::move(out));
  Array& x = a.as_array();
  Array& y = b.as_array();
  const size_t n = std::min(x.size(), y.size());
  out.reserve(n);
  for (size_t i = 0; i < n; ++i) out.push_back(pair_of(std::move(x[i]), std::move(y[i])));
  return Value(std::move(out));
}

Value object_of(Value pairs) {
  Object out;
  if (!pairs.is_array()) return Value(std::move(out));
  for (Value& p : pairs.as_array()) {
    if (!p.is_array()) {
      out.set(std::string_view(), Value());
      continue;
    }
    Array& pair = p.as_array();
    Value value = pair.size() >= 2 ? std::move(pair[1]) : Value();
    if (!pair.empty() && pair[0].is_string()) {
      out.set(std::move(pair[0].as_string()), std::move(value));
    } else {
      out.set(std::string_view(), std::move(value));
    }
  }
  return Value(std::move(out));
}

Value members_of(const Value& o, Op code) {
  Array out;
  if (!o.is_object()) return Value(std::move(out));
  out.reserve(o.as_object().size());
  for (const Member& m : o.as_object()) {
    switch (code) {
      case Op::Keys: out.emplace_back(m.key); break;
      case Op::Values: out.push_back(m.value); break;
      default: out.push_back(pair_of(Value(m.key), m.value)); break;
    }
  }
  return Value(std::move(out));
}

Value lookup(const Value& c, const Value& k, const Value& op) {
  const Value* found = nullptr;
  if (c.is_object()) {
    found = c.as_object().find(k.string_or_empty());
  } else if (c.is_array()) {
    std::optional<uint64_t> i = index_from_segment(k);
    if (i && *i < c.as_array().size()) found = &c.as_array()[*i];
  }
  if (found) return *found;
  return op["default"];
}

Value sorted(Value a) {
  if (!a.is_array()) return Value::array();
  Array& elems = a.as_array();
  std::stable_sort(elems.begin(), elems.end(),
                   [](const Value& x, const Value& y) { return x.string_or_empty() < y.string_or_empty(); });
  return a;
}

Value codes(Value a) {
  if (a.is_string()) {
    Array one;
    one.push_back(std::move(a));
    return Value(std::move(one));
  }
  if (!a.is_array()) return Value::array();
  for (Value& e : a.as_array()) {
    if (!e.is_string()) e = Value("");
  }
  return a;
}

}  // namespace

ExprResult call_collections(Op code, Args& args, const Value& op) {
  switch (code) {
    case Op::List:
    case Op::Zip:
    case Op::Concat:
    case Op::Flatten:
    case Op::Object: {
      KESVO_CHECK(precheck_size(args));
      switch (code) {
        case Op::List: {
          Array out;
          out.reserve(args.size());
          for (Value& v : args) out.push_back(std::move(v));
          return Value(std::move(out));
        }
        case Op::Zip: return zip(args.take(0), args.take(1));
        case Op::Concat: {
          Array out;
          for (Value& v : args) concat_into(std::move(v), out);
          return Value(std::move(out));
        }
        case Op::Flatten: {
          Array out;
          Value a = args.take(0);
          if (a.is_array()) {
            for (Value& v : a.as_array()) concat_into(std::move(v), out);
          }
          return Value(std::move(out));
        }
        default: return object_of(args.take(0));
      }
    }
    case Op::Keys:
    case Op::Values:
    case Op::Entries: return members_of(args[0], code);
    case Op::Without: {
      Array out;
      Value a = args.take(0);
      if (a.is_array()) {
        for (Value& e : a.as_array()) {
          if (!strict_equal(e, args[1])) out.push_back(std::move(e));
        }
      }
      return Value(std::move(out));
    }
    case Op::IndexOf: {
      const Value& a = args[0];
      if (!a.is_array()) return Value();
      const Array& elems = a.as_array();
      for (size_t i = 0; i < elems.size(); ++i) {
        if (strict_equal(elems[i], args[1])) return Value::from_u64(i);
      }
      return Value();
    }
    case Op::Lookup: return lookup(args[0], args[1], op);
    case Op::Sort: return sorted(args.take(0));
    case Op::Codes: return codes(args.take(0));
    default: return Value();
  }
}

}  // namespace kesvo::expr
