#include "data/merge.h"

namespace kesvo {

void merge_deep(Value& target, const Value& source) {
  if (!target.is_object() || !source.is_object()) return;
  Object& t = target.as_object();
  for (const Member& m : source.as_object()) {
    Value* existing = t.find(m.key);
    if (existing && existing->is_object() && m.value.is_object()) {
      merge_deep(*existing, m.value);
    } else if (existing) {
      *existing = m.value;
    } else {
      t.append_new(m.key, m.value);
    }
  }
}

Value merge_shallow(const Value& base, const Value& extra) {
  Value out = base.is_object() ? base : Value::object();
  if (extra.is_object()) {
    Object& o = out.as_object();
    for (const Member& m : extra.as_object()) o.set(m.key, m.value);
  }
  return out;
}

}  // namespace kesvo
