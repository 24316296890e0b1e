#include "data/quirk.h"

#include <string>
#include <string_view>
#include <utility>

#include "core/json_writer.h"
#include "core/value_rules.h"
#include "data/quirk_condition.h"

namespace kesvo {

namespace {

// The object stored under `name`, created when absent or null.
Result<Object*> writable_member(Value& owner, std::string_view name) {
  Value& member = owner.as_object()[name];
  if (member.is_null()) member = Value::object();
  if (!member.is_object()) return fail(ErrorKind::Invalid, std::string(name) + " must be an object");
  return &member.as_object();
}

void remove_member(Value& owner, std::string_view table, std::string_view code) {
  Value* t = owner.find(table);
  if (t && t->is_object()) t->as_object().erase(code);
}

// Compact JSON text of a dpid, or the string itself when it is one.
std::string dpid_text(const Value& dpid) {
  if (dpid.is_string()) return dpid.as_string();
  return to_json(dpid);
}

// Compact JSON text of a dpid with every leading and trailing double quote
// stripped: the string "7" and the number 7 both give 7.
std::string dpid_key_stripped(const Value& dpid) {
  std::string text = to_json(dpid);
  size_t begin = text.find_first_not_of('"');
  if (begin == std::string::npos) return std::string();
  size_t end = text.find_last_not_of('"');
  return text.substr(begin, end - begin + 1);
}

Status define_dp(Value& device, Object& dpmap, const Value& op, std::string_view code) {
  const std::string_view mode = op["mode"].string_or_empty();
  struct TableMode {
    std::string_view table;
    char letter;
  };
  static constexpr TableMode kTables[] = {{"function", 'W'}, {"status_range", 'R'}};
  for (const TableMode& t : kTables) {
    if (mode.find(t.letter) != std::string_view::npos) {
      Object* table = KESVO_TRY(writable_member(device, t.table));
      Object description;
      description.append_new("type", op["type"]);
      description.append_new("values", op["values"]);
      if (t.letter == 'R') description.append_new("report_type", op["report_type"]);
      table->set(code, Value(std::move(description)));
    } else {
      remove_member(device, t.table, code);
    }
  }
  dpmap.set(dpid_text(op["dpid"]), Value(code));
  return {};
}

void remove_dp(Value& device, Object& dpmap, const Value& op, std::string_view code) {
  remove_member(device, "function", code);
  remove_member(device, "status_range", code);
  remove_member(device, "status", code);
  dpmap.erase(dpid_key_stripped(op["dpid"]));
}

}  // namespace

void normalize_device(Value& device) {
  for (std::string_view table : {"function", "status_range", "status"}) {
    Value& member = device.member(table);
    if (!member.is_object()) member = Value::object();
  }
}

Status apply_quirk(Value& device, Value& dpmap, const Value& quirk) {
  const Value& ops = quirk["ops"];
  if (!ops.is_array() || ops.as_array().empty()) return {};
  if (device.is_null()) device = Value::object();
  if (!device.is_object()) return fail(ErrorKind::Invalid, "device must be an object");
  if (dpmap.is_null()) dpmap = Value::object();
  if (!dpmap.is_object()) return fail(ErrorKind::Invalid, "dpmap must be an object");
  Object& map = dpmap.as_object();
  for (const Value& op : ops.as_array()) {
    const Value* when = op.find("when");
    if (when && !truthy(eval_quirk_condition(*when, device["status"]))) continue;
    const std::string_view name = op["op"].string_or_empty();
    const std::string_view code = op["code"].string_or_empty();
    if (name == "DefineDp") {
      KESVO_CHECK(define_dp(device, map, op, code));
    } else if (name == "RemoveDp") {
      remove_dp(device, map, op, code);
    } else if (name == "SetCategory") {
      device.as_object().set("category", op["category"]);
    } else if (name == "TypeOverride") {
      Object* overrides = KESVO_TRY(writable_member(device, "type_overrides"));
      overrides->set(code, op["as"]);
    }
  }
  return {};
}

void apply_status_quirk(Value& status, const Value& quirk) {
  const Value& ops = quirk["ops"];
  if (!ops.is_array() || !status.is_object()) return;
  Object& s = status.as_object();
  for (const Value& op : ops.as_array()) {
    if (op["op"].string_or_empty() != "MapInitialStatus") continue;
    const std::string_view code = op["code"].string_or_empty();
    const Value& mapping = op["mapping"];
    if (!mapping.is_array()) continue;
    const Value& current = std::as_const(status)[code];
    for (const Value& pair : mapping.as_array()) {
      if (loose_equal(current, pair.at(0))) {
        s.set(code, pair.at(1));
        break;
      }
    }
  }
}

}  // namespace kesvo
