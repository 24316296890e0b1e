#include "adapter/adapter.h"

#include "adapter/strategy.h"
#include "adapter/strategy_support.h"
#include "core/json_messages.h"
#include "core/json_writer.h"
#include "core/value_rules.h"
#include "data/dp_kind.h"

namespace kesvo {

namespace {

constexpr std::string_view kMembers[4] = {"entries", "enum_ranges", "unsupported", "remaps"};

Result<void, std::string> check_entries(const Object& entries) {
  for (const Member& m : entries) {
    const Value& e = m.value;
    if (!e.is_array() || e.as_array().size() != 3) {
      std::string msg = "entry " + json_quoted(m.key) + ": expected an array [code, strategy, config], found ";
      if (e.is_array()) {
        msg += "an array of " + std::to_string(e.as_array().size()) + " elements";
      } else {
        msg += json_type_phrase(e);
      }
      return fail_msg(std::move(msg));
    }
    if (!e.as_array()[0].is_string()) return fail_msg("entry " + json_quoted(m.key) + ": code must be a string");
    if (!e.as_array()[1].is_string()) return fail_msg("entry " + json_quoted(m.key) + ": strategy must be a string");
  }
  return {};
}

Result<void, std::string> check_member(std::string_view name, const Object& table) {
  if (name == "entries") {
    auto r = check_entries(table);
    if (!r.ok()) return fail_msg("entries: " + r.error());
  } else if (name == "unsupported") {
    for (const Member& m : table) {
      if (!m.value.is_string()) {
        return fail_msg("unsupported: " + json_quoted(m.key) + ": expected a strategy name, found " +
                        std::string(json_type_phrase(m.value)));
      }
    }
  } else if (name == "remaps") {
    for (const Member& m : table) {
      if (!m.value.is_object()) {
        return fail_msg("remaps: " + json_quoted(m.key) + ": expected a remap object, found " +
                        std::string(json_type_phrase(m.value)));
      }
    }
  }
  return {};
}

bool listed(const Value& strategies, std::string_view name) {
  if (!strategies.is_array()) return false;
  for (const Value& s : strategies.as_array()) {
    if (s.is_string() && s.as_string() == name) return true;
  }
  return false;
}

// The DP code a local strategy feeds: the last member name of the config's
// "statusFormat", else "status_code"; empty when neither names one.
std::string local_strategy_code(const Value& ls) {
  const EmbeddedJson format(ls["config_item"]["statusFormat"]);
  if (format->is_object() && !format->as_object().empty()) {
    const Object& o = format->as_object();
    return o.member_at(o.size() - 1).key;
  }
  return std::string(ls["status_code"].string_or_empty());
}

Value make_entry(std::string code, std::string_view strategy, Value config) {
  Array e;
  e.reserve(3);
  e.emplace_back(std::move(code));
  e.emplace_back(strategy);
  e.push_back(std::move(config));
  return Value(std::move(e));
}

// The first entry feeding `code`, with its dpid; null when none does.
const Member* entry_for_code(const Object& entries, std::string_view code) {
  for (const Member& m : entries) {
    if (entry_code(m.value) == code) return &m;
  }
  return nullptr;
}

Status write_one(AdapterView a, const Value& command, Object& out) {
  const std::string_view code = command["code"].string_or_empty();
  const Member* entry = entry_for_code(*a.entries, code);
  if (!entry) return fail(ErrorKind::Unsupported, "no dp for " + std::string(code));
  const Value* remap = a.remaps->find(code);
  const Value& r = remap ? *remap : Value::null_value();
  Value value = remap_invert(r, command["value"]);
  const Value& alias = r["alias"];
  if (alias.is_object()) {
    for (const Member& m : alias.as_object()) {
      if (strict_equal(m.value, value)) {
        value = Value(m.key);
        break;
      }
    }
  }
  Value raw = KESVO_TRY(strategy_write(entry_strategy(entry->value), value, entry_config(entry->value)));
  out.set(entry->key, std::move(raw));
  return {};
}

}  // namespace

Value adapter_to_json(const Adapter& adapter) {
  Object o;
  o.reserve(4);
  o.append_new("entries", Value(adapter.entries));
  o.append_new("enum_ranges", Value(adapter.enum_ranges));
  o.append_new("unsupported", Value(adapter.unsupported));
  o.append_new("remaps", Value(adapter.remaps));
  return Value(std::move(o));
}

Value adapter_to_json(Adapter&& adapter) {
  Object o;
  o.reserve(4);
  o.append_new("entries", Value(std::move(adapter.entries)));
  o.append_new("enum_ranges", Value(std::move(adapter.enum_ranges)));
  o.append_new("unsupported", Value(std::move(adapter.unsupported)));
  o.append_new("remaps", Value(std::move(adapter.remaps)));
  return Value(std::move(o));
}

Result<AdapterView, std::string> adapter_view_from_json(const Value& json) {
  if (!json.is_object()) return fail_msg("expected an adapter object, found " + std::string(json_type_phrase(json)));
  const Object* tables[4];
  for (size_t i = 0; i < 4; ++i) {
    const Value* v = json.find(kMembers[i]);
    if (!v) return fail_msg(missing_field_message(kMembers[i]));
    if (!v->is_object()) {
      return fail_msg(std::string(kMembers[i]) + ": expected an object, found " + std::string(json_type_phrase(*v)));
    }
    tables[i] = &v->as_object();
    auto checked = check_member(kMembers[i], *tables[i]);
    if (!checked.ok()) return std::move(checked).failure();
  }
  return AdapterView{tables[0], tables[1], tables[2], tables[3]};
}

Result<Adapter, std::string> adapter_from_json(const Value& json) {
  const AdapterView v = KESVO_TRY(adapter_view_from_json(json));
  return Adapter{*v.entries, *v.enum_ranges, *v.unsupported, *v.remaps};
}

Result<const Object*, std::string> entries_view_from_json(const Value& json) {
  if (!json.is_object()) return fail_msg("expected an object, found " + std::string(json_type_phrase(json)));
  auto checked = check_entries(json.as_object());
  if (!checked.ok()) return std::move(checked).failure();
  return &json.as_object();
}

Result<Object, std::string> entries_from_json(const Value& json) {
  const Object* entries = KESVO_TRY(entries_view_from_json(json));
  return *entries;
}

Adapter adapter_create(const Value& device, const Value& dpmap, const Value& rules) {
  Adapter a;
  const Value& strategies = rules["strategies"];
  const Value& local = device["local_strategy"];
  if (local.is_object()) {
    for (const Member& m : local.as_object()) {
      const Value& ls = m.value;
      std::string code = local_strategy_code(ls);
      if (code.empty()) continue;
      const Value& convert = ls["value_convert"];
      std::string_view name = truthy(convert) ? convert.string_or_empty() : std::string_view("default");
      if (!listed(strategies, name)) {
        a.unsupported.set(m.key, Value(name));
        name = "default";
      }
      a.entries.set(m.key, make_entry(std::move(code), name, ls["config_item"]));
    }
  }
  if (dpmap.is_object()) {
    for (const Member& m : dpmap.as_object()) {
      if (a.entries.contains(m.key)) continue;
      a.entries.append_new(m.key, make_entry(std::string(m.value.string_or_empty()), "default", Value::object()));
    }
  }
  const Value& reported = device["status_range"];
  if (reported.is_object()) {
    for (const Member& m : reported.as_object()) {
      if (parse_kind(m.value["type"]) != DpKind::Enum) continue;
      const EmbeddedJson spec(m.value["values"]);
      a.enum_ranges.set(m.key, (*spec)["range"]);
    }
  }
  return a;
}

Value adapter_read(AdapterView a, const Value& dps, const Value& rules) {
  Object out;
  if (!dps.is_object()) return Value(std::move(out));
  for (const Member& m : dps.as_object()) {
    const Value* entry = a.entries->find(m.key);
    if (!entry) continue;
    auto read = strategy_read(entry_strategy(*entry), m.value, entry_config(*entry), rules);
    if (!read.ok()) continue;
    Value value = std::move(read).value();
    const std::string_view code = entry_code(*entry);
    const Value* remap = a.remaps->find(code);
    if (remap) {
      if (value.is_string()) {
        if (const Value* aliased = (*remap)["alias"].find(value.as_string())) value = *aliased;
      }
      value = remap_invert(*remap, std::move(value));
    }
    if (const Value* range = a.enum_ranges->find(code)) {
      bool allowed = false;
      if (range->is_array()) {
        for (const Value& item : range->as_array()) {
          if (strict_equal(item, value)) {
            allowed = true;
            break;
          }
        }
      }
      if (!allowed) continue;
    }
    out.set(code, std::move(value));
  }
  return Value(std::move(out));
}

Result<Value> adapter_write(AdapterView a, std::span<const Value* const> commands) {
  Object out;
  for (const Value* command : commands) KESVO_CHECK(write_one(a, *command, out));
  if (out.empty()) return fail(ErrorKind::Unsupported, "no dp for command");
  return Value(std::move(out));
}

Result<Value> adapter_write(AdapterView a, const Value& commands) {
  Object out;
  if (commands.is_array()) {
    for (const Value& command : commands.as_array()) KESVO_CHECK(write_one(a, command, out));
  }
  if (out.empty()) return fail(ErrorKind::Unsupported, "no dp for command");
  return Value(std::move(out));
}

void set_remap_bounds(Adapter& adapter, std::string_view code, const Value& device) {
  const Value* desc = device["status_range"].find(code);
  if (!desc) desc = device["function"].find(code);
  if (!desc || parse_kind((*desc)["type"]) != DpKind::Integer) return;
  const EmbeddedJson spec((*desc)["values"]);
  Array bounds;
  bounds.reserve(2);
  bounds.push_back((*spec)["min"]);
  bounds.push_back((*spec)["max"]);
  adapter.remaps[code].member("bounds") = Value(std::move(bounds));
}

Value remap_invert(const Value& remap, Value value) {
  if (!truthy(remap["invert"])) return value;
  if (value.is_bool()) return Value(!value.as_bool());
  if (value.is_number()) {
    const Value& bounds = remap["bounds"];
    if (bounds.is_array()) {
      const double lo = to_number(bounds.at(0));
      const double hi = to_number(bounds.at(1));
      return number_value(lo + hi - value.number_as_double());
    }
  }
  return value;
}

}  // namespace kesvo
