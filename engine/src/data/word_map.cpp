#include "data/word_map.h"

#include <string_view>
#include <vector>

#include "core/value_rules.h"

namespace kesvo {

namespace {

bool array_contains(const Value& array, const Value& v) {
  if (!array.is_array()) return false;
  for (const Value& item : array.as_array()) {
    if (strict_equal(item, v)) return true;
  }
  return false;
}

}  // namespace

Value word_map(const Role& role, const Value& names, const Value& rules) {
  if (role.kind == DpKind::Boolean) {
    Object stop;
    stop.append_new("never", Value(true));
    Object words;
    words.append_new("open", Value(true));
    words.append_new("close", Value(false));
    words.append_new("stop", Value(std::move(stop)));
    return Value(std::move(words));
  }
  std::vector<std::string_view> candidates;
  if (names.is_string()) {
    candidates.push_back(names.as_string());
  } else if (names.is_array()) {
    for (const Value& item : names.as_array()) {
      if (item.is_string()) candidates.push_back(item.as_string());
    }
  }
  const Value& maps = rules["maps"];
  const Value& range = role.spec["range"];
  for (std::string_view name : candidates) {
    const Value& m = maps[name];
    if (array_contains(range, m["open"]) && array_contains(range, m["close"])) return m;
  }
  if (candidates.empty()) return Value();
  return maps[candidates.front()];
}

}  // namespace kesvo
