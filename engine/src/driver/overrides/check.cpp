#include "driver/overrides/check.h"

#include <initializer_list>
#include <span>
#include <string_view>
#include <unordered_set>

#include "core/value_rules.h"
#include "data/dp_kind.h"

namespace kesvo {

namespace {

using Names = std::span<const std::string_view>;

constexpr std::string_view kBlockKeys[] = {"category", "dp",   "remove",        "remap", "props", "device",
                              "converters", "auto", "expose_unused", "cover", "delta"};
constexpr std::string_view kDevicePatchKeys[] = {"kind", "class", "label", "vendor", "model"};
constexpr std::string_view kDpEntryKeys[] = {"code", "type", "values", "mode", "report_type"};
constexpr std::string_view kPatchKeys[] = {"label", "class", "category", "unit", "series", "rw", "role", "hide"};
constexpr std::string_view kSourcedPatchKeys[] = {"src",    "type", "label", "class", "category", "unit", "series",
                                     "rw",     "role", "min",   "max",   "step",     "options", "send"};
constexpr std::string_view kRemapKeys[] = {"alias", "invert"};
constexpr std::string_view kDeltaKeys[] = {"accept_passive"};
constexpr std::string_view kDeclarationKeys[] = {"type", "label", "class", "category", "unit",    "series",   "rw",   "role",
                                    "min",  "max",   "step",  "options",  "requires", "group", "src"};
constexpr std::string_view kSendKeys[] = {"code", "value"};
constexpr std::string_view kIfKeys[] = {"if", "then", "else"};
constexpr std::string_view kSetKeys[] = {"set", "value"};
constexpr std::string_view kEmitKeys[] = {"emit", "value"};
constexpr std::string_view kTimerKeys[] = {"timer", "after"};
constexpr std::string_view kSendStatementKeys[] = {"send"};
constexpr std::string_view kLetKeys[] = {"let", "value"};

bool among(std::string_view name, Names names) {
  for (std::string_view n : names) {
    if (n == name) return true;
  }
  return false;
}
bool among(std::string_view name, std::initializer_list<std::string_view> names) {
  return among(name, Names(names.begin(), names.size()));
}

CheckResult failed(std::string message) { return fail_msg(std::move(message)); }

// The member-name check: an object whose members are all among `allowed`.
CheckResult check_names(const Value& v, Names allowed) {
  if (!v.is_object()) return failed("must be object");
  for (const Member& m : v.as_object()) {
    if (!among(m.key, allowed)) return failed("unknown key " + m.key);
  }
  return {};
}

bool is_nonempty_string(const Value* v) { return v && v->is_string() && !v->as_string().empty(); }

// Exact numeric order of two JSON numbers (integers of both signs and
// floats): every 64-bit integer is exactly representable in long double.
long double exact(const Value& v) {
  if (v.is_uint()) return static_cast<long double>(v.as_uint());
  if (v.is_int()) return static_cast<long double>(v.as_int());
  return static_cast<long double>(v.as_double());
}

bool is_negative(const Value& v) { return v.is_int() || (v.is_double() && v.as_double() < 0); }

CheckResult check_dp_entries(const Value& dp) {
  for (const Member& m : dp.as_object()) {
    const Value& entry = m.value;
    KESVO_CHECK(check_names(entry, kDpEntryKeys));
    if (!truthy(entry["code"])) return failed("invalid dp definition");
    if (const Value* type = entry.find("type")) {
      if (!type->is_string() || !parse_kind(*type)) return failed("invalid dp definition");
      if (const Value* mode = entry.find("mode")) {
        const std::string_view s = mode->string_or_empty();
        if (!mode->is_string() || (s != "R" && s != "W" && s != "RW")) return failed("invalid mode");
      }
    } else if (entry.as_object().size() != 1) {
      return failed("a rename takes only a `code`");
    }
  }
  return {};
}

CheckResult check_property_patches(const Value& props) {
  for (const Member& m : props.as_object()) {
    const Value& patch = m.value;
    if (!patch.is_object()) return failed("property patch must be object");
    const Value* src = patch.find("src");
    const bool sourced = src != nullptr;
    KESVO_CHECK(check_names(patch, sourced ? Names(kSourcedPatchKeys) : Names(kPatchKeys)));
    KESVO_CHECK(check_declaration(patch, sourced, false));
    if (const Value* hide = patch.find("hide"); hide && !hide->is_bool()) return failed("hide needs bool");
    if (!sourced) {
      if (const Value* rw = patch.find("rw"); rw && !(rw->is_bool() && !rw->as_bool())) {
        return failed("rw can only be false");
      }
      continue;
    }
    if (!is_nonempty_string(src)) return failed("src needs code");
    const Value* type = patch.find("type");
    if (type && !(type->is_string() && among(type->as_string(), {"text", "trigger", "binary", "number", "select"}))) {
      return failed("invalid property type");
    }
    const bool trigger = type && type->string_or_empty() == "trigger";
    if (trigger != (patch.find("send") != nullptr)) return failed("trigger needs send");
  }
  return {};
}

CheckResult check_remaps(const Value& remap) {
  for (const Member& m : remap.as_object()) {
    const Value& entry = m.value;
    if (!entry.is_object()) return failed("remap needs object");
    KESVO_CHECK(check_names(entry, kRemapKeys));
    if (const Value* invert = entry.find("invert"); invert && !invert->is_bool()) return failed("invert needs bool");
    const Value* alias = entry.find("alias");
    if (!alias) continue;
    if (!alias->is_object()) return failed("alias needs object");
    for (const Member& a : alias->as_object()) {
      if (!a.value.is_string()) return failed("alias values need strings");
    }
    // Two reported words may not map to one engine word: writing that word
    // back could not tell which reported word to send.
    std::unordered_set<std::string_view> seen;
    seen.reserve(alias->as_object().size());
    for (const Member& a : alias->as_object()) {
      if (!seen.insert(a.value.as_string()).second) return failed("duplicate alias");
    }
  }
  return {};
}

CheckResult check_declarative(const Value& converter, bool final) {
  const Value* props = converter.is_object() ? converter.find("props") : nullptr;
  const bool props_ok = props ? props->is_object() : (converter.is_object() && !final);
  if (!converter.is_object() || !props_ok) return failed("declarative converter and props must be objects");
  const Value* write = converter.find("write");
  if (write && !write->is_object()) return failed("write must be object");
  const Value& declared = props ? *props : Value::null_value();
  if (props) {
    for (const Member& m : props->as_object()) {
      const Value& d = m.value;
      if (m.key == "available" || !d.is_object()) return failed("invalid converter property");
      KESVO_CHECK(check_names(d, kDeclarationKeys));
      KESVO_CHECK(check_declaration(d, true, final));
      if (final) {
        const bool writable = truthy(d["rw"]) || d["type"].string_or_empty() == "trigger";
        if (writable && !(write && write->find(m.key))) {
          return failed("writable declarative property needs write program");
        }
      }
    }
  }
  if (const Value* p = converter.find("update")) KESVO_CHECK(check_program(*p, declared, 0, final, true));
  if (const Value* p = converter.find("timer")) KESVO_CHECK(check_program(*p, declared, 0, final, true));
  if (const Value* p = converter.find("reset")) KESVO_CHECK(check_program(*p, declared, 0, final, false));
  if (write) {
    for (const Member& m : write->as_object()) {
      if (final && !declared.find(m.key)) return failed("write: unknown property " + m.key);
      KESVO_CHECK(check_program(m.value, declared, 0, final, true));
    }
  }
  return {};
}

// The first segment of a "set" path: the text before the first "." of a
// string, or the first string of an array (empty when there is none).
std::string_view set_path_head(const Value& path) {
  if (path.is_string()) {
    std::string_view s = path.as_string();
    return s.substr(0, s.find('.'));
  }
  if (path.is_array()) {
    for (const Value& seg : path.as_array()) {
      if (seg.is_string()) return seg.as_string();
    }
  }
  return {};
}

CheckResult check_statement(const Value& st, const Value& props, int depth, bool final, bool full) {
  if (!st.is_object()) return failed("statement must be object");
  if (!full && (st.find("emit") || st.find("timer") || st.find("send"))) {
    return failed("reset programs can only assign state");
  }
  if (st.find("if")) {
    KESVO_CHECK(check_names(st, kIfKeys));
    if (const Value* p = st.find("then")) KESVO_CHECK(check_program(*p, props, depth + 1, final, full));
    if (const Value* p = st.find("else")) KESVO_CHECK(check_program(*p, props, depth + 1, final, full));
    return {};
  }
  if (const Value* path = st.find("set")) {
    KESVO_CHECK(check_names(st, kSetKeys));
    if (set_path_head(*path) != "state") return failed("rules can assign only state slots");
    return {};
  }
  if (const Value* emit = st.find("emit")) {
    KESVO_CHECK(check_names(st, kEmitKeys));
    if (!is_nonempty_string(emit) || (final && !props.find(emit->as_string()))) {
      return failed("emit: unknown property");
    }
    return {};
  }
  if (const Value* timer = st.find("timer")) {
    KESVO_CHECK(check_names(st, kTimerKeys));
    if (!is_nonempty_string(timer)) return failed("timer needs name");
    const Value* after = st.find("after");
    if (after && !after->is_null() && !(after->is_number() && !is_negative(*after))) {
      return failed("invalid timer delay");
    }
    return {};
  }
  if (const Value* send = st.find("send")) {
    KESVO_CHECK(check_names(st, kSendStatementKeys));
    if (send->is_null()) return failed("send needs code and value");
    KESVO_CHECK(check_names(*send, kSendKeys));
    if (!send->find("code") || !send->find("value")) return failed("send needs code and value");
    return {};
  }
  if (const Value* name = st.find("let")) {
    KESVO_CHECK(check_names(st, kLetKeys));
    if (!is_nonempty_string(name)) return failed("let needs name");
    return {};
  }
  return failed("unknown rule statement");
}

}  // namespace

CheckResult check_overrides(const Value& overrides, const Value& rules) {
  if (!overrides.is_object()) return failed("overrides must be object");
  for (const Member& m : overrides.as_object()) {
    if (!m.value.is_object()) return failed(m.key + ": override block must be object");
    CheckResult r = check_block(m.value, rules, false);
    if (!r.ok()) return failed(m.key + ": " + r.error());
  }
  return {};
}

CheckResult check_block(const Value& block, const Value& rules, bool final) {
  KESVO_CHECK(check_names(block, kBlockKeys));
  for (std::string_view member : {"dp", "props", "remap", "converters"}) {
    if (const Value* v = block.find(member); v && !v->is_object()) {
      return failed(std::string(member) + ": must be object");
    }
  }
  if (const Value* category = block.find("category"); category && !is_nonempty_string(category)) {
    return failed("category: needs a nonempty string");
  }
  if (const Value* device = block.find("device")) {
    KESVO_CHECK(check_names(*device, kDevicePatchKeys));
    for (const Member& m : device->as_object()) {
      if (!m.value.is_string() && !m.value.is_null()) return failed("device." + m.key + ": needs a string or null");
    }
  }
  if (const Value* dp = block.find("dp")) KESVO_CHECK(check_dp_entries(*dp));
  for (std::string_view member : {"auto", "expose_unused"}) {
    if (const Value* v = block.find(member); v && !v->is_bool()) {
      return failed(std::string(member) + ": true or false");
    }
  }
  if (const Value* remove = block.find("remove")) {
    bool ok = remove->is_array();
    if (ok) {
      for (const Value& code : remove->as_array()) ok = ok && code.is_string();
    }
    if (!ok) return failed("remove needs list of codes");
  }
  if (const Value* props = block.find("props")) KESVO_CHECK(check_property_patches(*props));
  if (const Value* remap = block.find("remap")) KESVO_CHECK(check_remaps(*remap));
  if (const Value* cover = block.find("cover")) KESVO_CHECK(check_cover_block(*cover, rules, true));
  if (const Value* converters = block.find("converters")) {
    for (const Member& m : converters->as_object()) {
      if (m.key != "declarative") return failed("unknown converter " + m.key);
    }
    if (const Value* declarative = converters->find("declarative")) KESVO_CHECK(check_declarative(*declarative, final));
  }
  if (const Value* delta = block.find("delta")) {
    KESVO_CHECK(check_names(*delta, kDeltaKeys));
    if (const Value* accept = delta->find("accept_passive"); accept && !accept->is_bool()) {
      return failed("delta needs bool");
    }
  }
  return {};
}

CheckResult check_declaration(const Value& object, bool typed, bool final) {
  for (std::string_view member : {"label", "class", "category", "unit", "series", "role"}) {
    if (const Value* v = object.find(member); v && !v->is_string() && !v->is_null()) {
      return failed("property " + std::string(member) + ": needs string or null");
    }
  }
  if (const Value* category = object.find("category"); category && category->is_string()) {
    if (category->as_string() != "config" && category->as_string() != "diagnostic") return failed("invalid category");
  }
  if (const Value* series = object.find("series"); series && series->is_string()) {
    if (series->as_string() != "gauge" && series->as_string() != "counter") return failed("invalid series");
  }
  if (const Value* rw = object.find("rw"); rw && !rw->is_bool()) return failed("rw needs bool");
  if (!typed) return {};

  const Value* type = object.find("type");
  if (final || type) {
    if (!type || !type->is_string() ||
        !among(type->as_string(), {"event", "binary", "number", "select", "trigger", "text"})) {
      return failed("invalid property type");
    }
  }
  const Value* min = object.find("min");
  const Value* max = object.find("max");
  const Value* step = object.find("step");
  if (min && !min->is_number()) return failed("min needs number");
  if (max && !max->is_number()) return failed("max needs number");
  if (step && !step->is_number()) return failed("step needs number");
  if (step && !(exact(*step) > 0)) return failed("step must be positive");
  if (min && max && exact(*min) > exact(*max)) return failed("min exceeds max");
  const Value* options = object.find("options");
  if (options) {
    bool ok = options->is_array();
    if (ok) {
      for (const Value& o : options->as_array()) ok = ok && o.is_string();
    }
    if (!ok) return failed("options need array of strings");
    std::unordered_set<std::string_view> seen;
    seen.reserve(options->as_array().size());
    for (const Value& o : options->as_array()) {
      if (!seen.insert(o.as_string()).second) return failed("duplicate options");
    }
  }
  if (final && type) {
    const std::string_view t = type->as_string();
    if ((t == "select" || t == "event") && !options) return failed("select/event needs options");
  }
  return {};
}

CheckResult check_program(const Value& program, const Value& props, int depth, bool final, bool full) {
  if (depth > kMaxProgramDepth) return failed("rule nesting limit exceeded");
  if (!program.is_array()) return failed("rule program must be an array");
  for (const Value& st : program.as_array()) KESVO_CHECK(check_statement(st, props, depth, final, full));
  return {};
}

CheckResult check_cover_block(const Value& object, const Value& rules, bool top) {
  if (!object.is_object()) return failed("cover needs object");
  const Value& defaults = rules["cover_defaults"];
  for (const Member& m : object.as_object()) {
    const Value& v = m.value;
    if (m.key == "settle") {
      if (!v.is_number() || is_negative(v)) return failed("invalid settle");
    } else if (m.key == "state_source") {
      if (!v.is_string() || !among(v.as_string(), {"control", "inferred", "none"})) {
        return failed("invalid state_source");
      }
    } else if (defaults.find(m.key)) {
      if (!v.is_bool()) return failed("cover needs bool");
    } else if (top && v.is_object()) {
      KESVO_CHECK(check_cover_block(v, rules, false));
    } else {
      return failed("unknown cover key " + m.key);
    }
  }
  return {};
}

}  // namespace kesvo
