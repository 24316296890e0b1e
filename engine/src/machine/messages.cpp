#include "machine/messages.h"

#include "core/json_messages.h"
#include "core/json_writer.h"

namespace kesvo {

namespace {

constexpr std::string_view kChannels[] = {"active", "passive", "state"};
constexpr std::string_view kInputTypes[] = {"connected", "disconnected", "message", "command", "timer", "describe"};
constexpr std::string_view kRejectCodes[] = {"unknown_property", "read_only",   "requires_unmet", "invalid_value",
                                             "out_of_range",     "bad_step",    "unsupported",    "unavailable"};
constexpr std::string_view kOutputTypes[] = {"descriptor", "value",     "absent",       "event",           "send_message",
                                             "reject",     "set_timer", "cancel_timer", "settings_changed"};

Result<const Value*, std::string> required(const Value& json, std::string_view name) {
  const Value* v = json.find(name);
  if (!v) return fail_msg(missing_field_message(name));
  return v;
}

Result<std::string, std::string> required_string(const Value& json, std::string_view name) {
  const Value* v = KESVO_TRY(required(json, name));
  if (!v->is_string()) return fail_msg(std::string(name) + ": expected a string, found " + std::string(json_type_phrase(*v)));
  return v->as_string();
}

}  // namespace

std::string_view channel_name(Channel channel) { return kChannels[static_cast<size_t>(channel)]; }

std::optional<Channel> parse_channel(std::string_view name) {
  for (size_t i = 0; i < std::size(kChannels); ++i) {
    if (kChannels[i] == name) return static_cast<Channel>(i);
  }
  return std::nullopt;
}

std::string_view input_type_name(InputType type) { return kInputTypes[static_cast<size_t>(type)]; }

Input Input::disconnected() {
  Input in;
  in.type = InputType::Disconnected;
  return in;
}

Input Input::message(Channel channel, Value json) {
  Input in;
  in.type = InputType::Message;
  in.channel = channel;
  in.json = std::move(json);
  return in;
}

Input Input::command(std::string prop, Value value) {
  Input in;
  in.type = InputType::Command;
  in.prop = std::move(prop);
  in.value = std::move(value);
  return in;
}

Input Input::timer(std::string name) {
  Input in;
  in.type = InputType::Timer;
  in.name = std::move(name);
  return in;
}

Input Input::describe(std::vector<Input> seed) {
  Input in;
  in.type = InputType::Describe;
  in.seed = std::move(seed);
  return in;
}

Value input_to_json(const Input& input) {
  Object o;
  o.append_new("type", Value(input_type_name(input.type)));
  switch (input.type) {
    case InputType::Connected:
    case InputType::Disconnected: break;
    case InputType::Message:
      o.append_new("channel", Value(channel_name(input.channel)));
      o.append_new("json", input.json);
      break;
    case InputType::Command:
      o.append_new("prop", Value(input.prop));
      o.append_new("value", input.value);
      break;
    case InputType::Timer: o.append_new("name", Value(input.name)); break;
    case InputType::Describe: {
      Array seed;
      seed.reserve(input.seed.size());
      for (const Input& s : input.seed) seed.push_back(input_to_json(s));
      o.append_new("seed", Value(std::move(seed)));
      break;
    }
  }
  return Value(std::move(o));
}

Result<Input, std::string> input_from_json(const Value& json) {
  if (!json.is_object()) return fail_msg("expected an input object, found " + std::string(json_type_phrase(json)));
  const std::string type = KESVO_TRY(required_string(json, "type"));
  if (type == "connected") return Input::connected();
  if (type == "disconnected") return Input::disconnected();
  if (type == "message") {
    const std::string channel = KESVO_TRY(required_string(json, "channel"));
    std::optional<Channel> c = parse_channel(channel);
    if (!c) {
      return fail_msg("unknown message channel " + json_quoted(channel) +
                      ", expected \"active\", \"passive\" or \"state\"");
    }
    const Value* body = KESVO_TRY(required(json, "json"));
    return Input::message(*c, *body);
  }
  if (type == "command") {
    std::string prop = KESVO_TRY(required_string(json, "prop"));
    const Value* value = KESVO_TRY(required(json, "value"));
    return Input::command(std::move(prop), *value);
  }
  if (type == "timer") return Input::timer(KESVO_TRY(required_string(json, "name")));
  if (type == "describe") {
    const Value* seed = KESVO_TRY(required(json, "seed"));
    if (!seed->is_array()) return fail_msg("seed: expected an array of inputs, found " + std::string(json_type_phrase(*seed)));
    std::vector<Input> inputs;
    inputs.reserve(seed->as_array().size());
    for (size_t i = 0; i < seed->as_array().size(); ++i) {
      Result<Input, std::string> in = input_from_json(seed->as_array()[i]);
      if (!in.ok()) return fail_msg("seed " + std::to_string(i) + ": " + in.error());
      inputs.push_back(std::move(in).value());
    }
    return Input::describe(std::move(inputs));
  }
  return fail_msg("unknown input type " + json_quoted(type));
}

std::string_view reject_code_name(RejectCode code) { return kRejectCodes[static_cast<size_t>(code)]; }

std::optional<RejectCode> parse_reject_code(std::string_view name) {
  for (size_t i = 0; i < std::size(kRejectCodes); ++i) {
    if (kRejectCodes[i] == name) return static_cast<RejectCode>(i);
  }
  return std::nullopt;
}

std::string_view output_type_name(OutputType type) { return kOutputTypes[static_cast<size_t>(type)]; }

Output Output::descriptor(Value desc) {
  Output o;
  o.type = OutputType::Descriptor;
  o.payload = std::move(desc);
  return o;
}

Output Output::value(std::string prop, Value value) {
  Output o;
  o.type = OutputType::Value;
  o.prop = std::move(prop);
  o.payload = std::move(value);
  return o;
}

Output Output::absent(std::string prop) {
  Output o;
  o.type = OutputType::Absent;
  o.prop = std::move(prop);
  return o;
}

Output Output::event(std::string prop, std::string kind) {
  Output o;
  o.type = OutputType::Event;
  o.prop = std::move(prop);
  o.text = std::move(kind);
  return o;
}

Output Output::send_message(Value json) {
  Output o;
  o.type = OutputType::SendMessage;
  o.payload = std::move(json);
  return o;
}

Output Output::reject(std::string prop, RejectCode code, std::string reason) {
  Output o;
  o.type = OutputType::Reject;
  o.prop = std::move(prop);
  o.code = code;
  o.text = std::move(reason);
  return o;
}

Output Output::set_timer(std::string name, Value after) {
  Output o;
  o.type = OutputType::SetTimer;
  o.text = std::move(name);
  o.payload = std::move(after);
  return o;
}

Output Output::cancel_timer(std::string name) {
  Output o;
  o.type = OutputType::CancelTimer;
  o.text = std::move(name);
  return o;
}

Output Output::settings_changed(Value block) {
  Output o;
  o.type = OutputType::SettingsChanged;
  o.payload = std::move(block);
  return o;
}

Value output_to_json(Output&& out) {
  Object o;
  o.reserve(4);
  o.append_new("type", Value(output_type_name(out.type)));
  switch (out.type) {
    case OutputType::Descriptor: o.append_new("desc", std::move(out.payload)); break;
    case OutputType::Value:
      o.append_new("prop", Value(std::move(out.prop)));
      o.append_new("value", std::move(out.payload));
      break;
    case OutputType::Absent: o.append_new("prop", Value(std::move(out.prop))); break;
    case OutputType::Event:
      o.append_new("prop", Value(std::move(out.prop)));
      o.append_new("kind", Value(std::move(out.text)));
      break;
    case OutputType::SendMessage:
      o.append_new("channel", Value("set"));
      o.append_new("json", std::move(out.payload));
      break;
    case OutputType::Reject:
      o.append_new("prop", Value(std::move(out.prop)));
      o.append_new("code", Value(reject_code_name(out.code)));
      o.append_new("reason", Value(std::move(out.text)));
      break;
    case OutputType::SetTimer:
      o.append_new("name", Value(std::move(out.text)));
      o.append_new("after", std::move(out.payload));
      break;
    case OutputType::CancelTimer: o.append_new("name", Value(std::move(out.text))); break;
    case OutputType::SettingsChanged: o.append_new("block", std::move(out.payload)); break;
  }
  return Value(std::move(o));
}

Value output_to_json(const Output& output) { return output_to_json(Output(output)); }

}  // namespace kesvo
