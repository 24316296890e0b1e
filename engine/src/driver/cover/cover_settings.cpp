#include "driver/cover/cover_settings.h"

#include "core/value_rules.h"

namespace kesvo {

namespace {

// Index of a setting name in kCoverSettingNames, or -1.
int setting_index(std::string_view name) {
  for (size_t i = 0; i < kCoverSettingNames.size(); ++i) {
    if (kCoverSettingNames[i] == name) return static_cast<int>(i);
  }
  return -1;
}

bool* bool_slot(CoverSettings& s, int index) {
  switch (index) {
    case 0: return &s.invert_position;
    case 1: return &s.invert_set_position;
    case 2: return &s.invert_control;
    case 4: return &s.invert_tilt;
    case 5: return &s.position_from_target;
    case 7: return &s.invert_reported_motion;
    default: return nullptr;
  }
}

}  // namespace

std::string_view state_source_name(StateSource source) {
  switch (source) {
    case StateSource::Control: return "control";
    case StateSource::Inferred: return "inferred";
    case StateSource::None: return "none";
  }
  return "none";
}

std::optional<StateSource> parse_state_source(std::string_view name) {
  if (name == "control") return StateSource::Control;
  if (name == "inferred") return StateSource::Inferred;
  if (name == "none") return StateSource::None;
  return std::nullopt;
}

bool is_cover_setting_name(std::string_view name) { return setting_index(name) >= 0; }

Result<CoverSettings, std::string> read_cover_settings(const Value& v) {
  if (!v.is_object()) return fail_msg("cover settings must be an object");
  CoverSettings s;
  bool seen[kCoverSettingNames.size()] = {};
  for (const Member& m : v.as_object()) {
    const int index = setting_index(m.key);
    if (index < 0) return fail_msg("unknown cover setting " + m.key);
    // Parsed JSON keeps one member per name, but objects built in code may
    // repeat a name; the second would silently win, so refuse it.
    if (seen[index]) return fail_msg("cover setting " + m.key + " given twice");
    seen[index] = true;
    if (bool* slot = bool_slot(s, index)) {
      if (!m.value.is_bool()) return fail_msg(m.key + ": expected a boolean");
      *slot = m.value.as_bool();
    } else if (m.key == "settle") {
      if (!m.value.is_number()) return fail_msg("settle: expected a number");
      s.settle = m.value.number_as_double();
    } else {  // state_source
      if (m.value.is_null()) {
        s.state_source.reset();
      } else {
        std::optional<StateSource> source =
            m.value.is_string() ? parse_state_source(m.value.as_string()) : std::nullopt;
        if (!source) return fail_msg("state_source: expected null, \"control\", \"inferred\" or \"none\"");
        s.state_source = source;
      }
    }
  }
  return s;
}

Value write_cover_settings(const CoverSettings& s) {
  Object o;
  o.reserve(kCoverSettingNames.size());
  o.append_new("invert_position", Value(s.invert_position));
  o.append_new("invert_set_position", Value(s.invert_set_position));
  o.append_new("invert_control", Value(s.invert_control));
  // number_value: whole numbers become integers, non-finite ones null.
  o.append_new("settle", number_value(s.settle));
  o.append_new("invert_tilt", Value(s.invert_tilt));
  o.append_new("position_from_target", Value(s.position_from_target));
  o.append_new("state_source", s.state_source ? Value(state_source_name(*s.state_source)) : Value());
  o.append_new("invert_reported_motion", Value(s.invert_reported_motion));
  return Value(std::move(o));
}

const Value& default_cover_settings_json() {
  static const Value defaults = write_cover_settings(CoverSettings{});
  return defaults;
}

}  // namespace kesvo
