// The messages exchanged with the host through a driver: the inputs a
// driver accepts and the outputs it produces, with their JSON forms. Both
// are JSON objects tagged by their member "type"; output members are
// written in a fixed order.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/json.h"
#include "core/result.h"

namespace kesvo {

// The channel a data-point message arrived on.
enum class Channel { Active, Passive, State };

std::string_view channel_name(Channel channel);
std::optional<Channel> parse_channel(std::string_view name);

enum class InputType { Connected, Disconnected, Message, Command, Timer, Describe };

std::string_view input_type_name(InputType type);

struct Input {
  InputType type = InputType::Connected;
  Channel channel = Channel::Active;  // Message
  Value json;                         // Message: the DP message
  std::string prop;                   // Command
  Value value;                        // Command
  std::string name;                   // Timer
  std::vector<Input> seed;            // Describe: inputs stepped after describing

  static Input connected() { return Input{}; }
  static Input disconnected();
  static Input message(Channel channel, Value json);
  static Input command(std::string prop, Value value);
  static Input timer(std::string name);
  static Input describe(std::vector<Input> seed);
};

// The JSON form:
//   {"type":"connected"}   {"type":"disconnected"}
//   {"type":"message","channel":"active"|"passive"|"state","json":...}
//   {"type":"command","prop":string,"value":...}
//   {"type":"timer","name":string}
//   {"type":"describe","seed":[inputs]}
Value input_to_json(const Input& input);

// Reads an input. The "type" decides which members are read; they are all
// required ("json" and "value" may be null) and others are ignored. Fails
// with a message for anything else, e.g. an unknown type or channel.
Result<Input, std::string> input_from_json(const Value& json);

// Reject codes of refused commands, in this order.
enum class RejectCode {
  UnknownProperty,
  ReadOnly,
  RequiresUnmet,
  InvalidValue,
  OutOfRange,
  BadStep,
  Unsupported,
  Unavailable,
};

// "unknown_property", "read_only", "requires_unmet", "invalid_value",
// "out_of_range", "bad_step", "unsupported", "unavailable".
std::string_view reject_code_name(RejectCode code);
std::optional<RejectCode> parse_reject_code(std::string_view name);

enum class OutputType {
  Descriptor,
  Value,
  Absent,
  Event,
  SendMessage,
  Reject,
  SetTimer,
  CancelTimer,
  SettingsChanged,
};

std::string_view output_type_name(OutputType type);

struct Output {
  OutputType type = OutputType::Descriptor;
  std::string prop;    // Value, Absent, Event, Reject
  std::string text;    // Event: kind; Reject: reason; SetTimer, CancelTimer: name
  RejectCode code = RejectCode::UnknownProperty;  // Reject
  Value payload;       // Descriptor: desc; Value: value; SendMessage: json;
                       // SetTimer: after (a number); SettingsChanged: block

  static Output descriptor(Value desc);
  static Output value(std::string prop, Value value);
  static Output absent(std::string prop);
  static Output event(std::string prop, std::string kind);
  static Output send_message(Value json);
  static Output reject(std::string prop, RejectCode code, std::string reason);
  static Output set_timer(std::string name, Value after);
  static Output cancel_timer(std::string name);
  static Output settings_changed(Value block);
};

// The JSON form, members in this order:
//   {"type":"descriptor","desc"}     {"type":"value","prop","value"}
//   {"type":"absent","prop"}         {"type":"event","prop","kind"}
//   {"type":"send_message","channel":"set","json"}
//   {"type":"reject","prop","code","reason"}
//   {"type":"set_timer","name","after"}   {"type":"cancel_timer","name"}
//   {"type":"settings_changed","block"}
Value output_to_json(const Output& output);
Value output_to_json(Output&& output);

}  // namespace kesvo
