// Cover settings: the per-cover switches that fix directions and the source
// of the motion state. Read from rule packs ("cover_defaults"), override
// blocks and carried driver states; written back as a JSON object with all
// eight members in a fixed order.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/json.h"
#include "core/result.h"

namespace kesvo {

// How the motion state of a cover is found.
enum class StateSource : uint8_t {
  Control,   // the instruction DP tells the motion
  Inferred,  // inferred from commands, target and position
  None,      // only positions are reported
};

// "control", "inferred", "none".
std::string_view state_source_name(StateSource source);
// The source named by `name`, or nothing.
std::optional<StateSource> parse_state_source(std::string_view name);

struct CoverSettings {
  bool invert_position = false;
  bool invert_set_position = false;
  bool invert_control = false;
  double settle = 0;
  bool invert_tilt = false;
  bool position_from_target = false;
  std::optional<StateSource> state_source;  // nothing: no motion tracker
  bool invert_reported_motion = false;

  bool operator==(const CoverSettings&) const = default;
};

// The eight member names, in the order they are written.
inline constexpr std::array<std::string_view, 8> kCoverSettingNames = {
    "invert_position", "invert_set_position", "invert_control",         "settle",
    "invert_tilt",     "position_from_target", "state_source", "invert_reported_motion",
};

// Whether `name` is one of the eight setting names.
bool is_cover_setting_name(std::string_view name);

// Reads a settings object. Every member is optional (absent members keep
// their defaults). Failures:
//   "cover settings must be an object"
//   "unknown cover setting {name}"
//   "cover setting {name} given twice"
//   "{name}: expected a boolean"            (the six boolean settings)
//   "settle: expected a number"
//   "state_source: expected null, \"control\", \"inferred\" or \"none\""
Result<CoverSettings, std::string> read_cover_settings(const Value& v);

// Writes all eight members in order. "settle" is an integer when it is
// whole, null when it is not finite.
Value write_cover_settings(const CoverSettings& settings);

// The default settings written as JSON (shared, built once).
const Value& default_cover_settings_json();

}  // namespace kesvo
