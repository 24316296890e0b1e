#include <gtest/gtest.h>

#include <string>

#include "core/json_reader.h"
#include "core/json_writer.h"
#include "machine/machine.h"
#include "machine/messages.h"
#include "unit/test_json.h"

namespace kesvo {
namespace {

// The effects of a run as one comparable text: state, events, timers and
// sends in an object, or "error: " and the message.
std::string run(std::string_view definition, MachineInput kind = MachineInput::Update,
                std::string_view state = "{}", std::string_view variables = "{}", std::string_view command = "null",
                std::string_view config = "{}") {
  const Value def = J(definition), st = J(state), vars = J(variables), cmd = J(command), cfg = J(config);
  auto r = run_machine(def, kind, cmd, st, cfg, vars);
  if (!r.ok()) return "error: " + r.error();
  Object o;
  o.append_new("state", r->state);
  o.append_new("events", Value(r->events));
  o.append_new("timers", Value(r->timers));
  o.append_new("sends", Value(r->sends));
  return to_json(Value(std::move(o)));
}

struct Case {
  const char* definition;
  const char* expected;
};

TEST(Machine, RuleStatements) {
  const Case cases[] = {
      // "set" walks the path inside "state", creating objects on the way.
      {R"({"update":[{"set":"state.point.mode","value":"on"}]})",
       R"({"state":{"point":{"mode":"on"}},"events":{},"timers":{},"sends":[]})"},
      {R"({"update":[{"set":["state","a"],"value":1},{"set":"state.a.b","value":2}]})",
       R"({"state":{"a":{"b":2}},"events":{},"timers":{},"sends":[]})"},
      {R"({"update":[{"set":"state","value":5}]})", R"({"state":5,"events":{},"timers":{},"sends":[]})"},
      {R"({"update":[{"set":"config.mode","value":"on"}]})", "error: rules can assign only state slots"},
      {R"({"update":[{"set":5,"value":1}]})", "error: rules can assign only state slots"},
      // Two emits of one name leave one event with the second value.
      {R"({"update":[{"emit":"e","value":1},{"emit":"f","value":2},{"emit":"e","value":3}]})",
       R"({"state":{},"events":{"e":3,"f":2},"timers":{},"sends":[]})"},
      {R"({"update":[{"emit":5,"value":{"op":"add","args":[1,2]}}]})",
       R"({"state":{},"events":{"":3},"timers":{},"sends":[]})"},
      // Timers: null cancels, 0 is due at once; negative numbers and
      // strings are refused.
      {R"({"update":[{"timer":"t","after":null},{"timer":"u","after":0},{"timer":"v","after":2.5}]})",
       R"({"state":{},"events":{},"timers":{"t":null,"u":0,"v":2.5},"sends":[]})"},
      {R"({"update":[{"timer":"t","after":5},{"timer":"t","after":null}]})",
       R"({"state":{},"events":{},"timers":{"t":null},"sends":[]})"},
      {R"({"update":[{"timer":"t","after":-1}]})", "error: timer delay must be a finite nonnegative number or null"},
      {R"({"update":[{"timer":"t","after":"5"}]})", "error: timer delay must be a finite nonnegative number or null"},
      {R"({"update":[{"timer":"t"}]})", R"({"state":{},"events":{},"timers":{"t":null},"sends":[]})"},
      {R"({"update":[{"send":{"code":"sw","value":true}},{"send":{"code":{"op":"get","path":"state.c"}}}]})",
       R"({"state":{},"events":{},"timers":{},"sends":[{"code":"sw","value":true},{"code":null,"value":null}]})"},
      {R"({"update":[{"frob":1}]})", "error: unknown rule statement"},
      {R"({"update":[5]})", "error: unknown rule statement"},
      // Built-in statements and program errors.
      {R"({"update":[{"let":"x","value":2},{"if":{"op":"get","path":"x"},"then":[{"set":"state.x","value":{"op":"get","path":"x"}}]}]})",
       R"({"state":{"x":2},"events":{},"timers":{},"sends":[]})"},
      {R"({"update":[{"let":"state","value":[1]},{"set":"state.k","value":1}]})",
       R"({"state":{"k":1},"events":{},"timers":{},"sends":[]})"},
      {R"({"update":{"set":"state.x"}})", "error: rule program must be an array"},
      {R"({"update":[{"$use":"t"}]})", "error: templates need a rule pack"},
      {R"({"update":[{"emit":"e","value":{"op":"error","message":"bad"}}]})", "error: bad"},
      {R"({})", R"({"state":{},"events":{},"timers":{},"sends":[]})"},
  };
  for (const Case& c : cases) EXPECT_EQ(run(c.definition), c.expected) << c.definition;
}

TEST(Machine, ProgramsAndVariables) {
  const char* def = R"({"update":[{"emit":"kind","value":"update"}],"timer":[{"emit":"kind","value":"timer"}],
    "reset":[{"set":"state","value":{"op":"get","path":"config.initial"}}],
    "write":{"power":[{"send":{"code":"sw","value":{"op":"get","path":"value"}}}]}})";
  EXPECT_EQ(run(def, MachineInput::Timer), R"({"state":{},"events":{"kind":"timer"},"timers":{},"sends":[]})");
  EXPECT_EQ(run(def, MachineInput::Reset, R"({"old":1})", "{}", "null", R"({"initial":{"fresh":true}})"),
            R"({"state":{"fresh":true},"events":{},"timers":{},"sends":[]})");
  // The write program is chosen by the command's "prop"; the caller's
  // variables are visible to it.
  EXPECT_EQ(run(def, MachineInput::Write, "{}", R"({"value":false})", R"({"prop":"power"})"),
            R"({"state":{},"events":{},"timers":{},"sends":[{"code":"sw","value":false}]})");
  EXPECT_EQ(run(def, MachineInput::Write, "{}", R"({"value":false})", R"({"prop":"other"})"),
            R"({"state":{},"events":{},"timers":{},"sends":[]})");
  // The state is a copy: the caller's value is untouched.
  const Value d = J(R"({"update":[{"set":"state.n","value":{"op":"add","args":[{"op":"get","path":"state.n"},1]}}]})");
  const Value state = J(R"({"n":1})");
  auto r = run_machine(d, MachineInput::Update, Value(), state, Value::object(), Value::object());
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(to_json(r->state), R"({"n":2})");
  EXPECT_EQ(to_json(state), R"({"n":1})");
}

TEST(Machine, InstructionBudget) {
  // 10,001 statements in one run fail on the last one.
  Array program(10'001, J(R"({"emit":"e","value":1})"));
  Object def;
  def.append_new("update", Value(program));
  EXPECT_EQ(run(to_json(Value(def))), "error: rule instruction limit exceeded");
  program.pop_back();
  def.set("update", Value(std::move(program)));
  EXPECT_EQ(run(to_json(Value(def))), R"({"state":{},"events":{"e":1},"timers":{},"sends":[]})");
}

std::string read_input(std::string_view text) {
  auto r = input_from_json(J(text));
  return r.ok() ? to_json(input_to_json(r.value())) : "error: " + r.error();
}

TEST(Messages, ReadInput) {
  const Case cases[] = {
      {R"({"type":"connected","extra":1})", R"({"type":"connected"})"},
      {R"({"type":"disconnected"})", R"({"type":"disconnected"})"},
      {R"({"json":{"dps":{"1":true}},"channel":"passive","type":"message"})",
       R"({"type":"message","channel":"passive","json":{"dps":{"1":true}}})"},
      {R"({"type":"message","channel":"state","json":null})", R"({"type":"message","channel":"state","json":null})"},
      {R"({"type":"command","prop":"power","value":[1]})", R"({"type":"command","prop":"power","value":[1]})"},
      {R"({"type":"timer","name":"c0:t"})", R"({"type":"timer","name":"c0:t"})"},
      {R"({"type":"describe","seed":[{"type":"connected"},{"type":"describe","seed":[]}]})",
       R"({"type":"describe","seed":[{"type":"connected"},{"type":"describe","seed":[]}]})"},
      {"null", "error: expected an input object, found null"},
      {"[]", "error: expected an input object, found an array"},
      {"{}", "error: missing field `type`"},
      {R"({"type":1})", "error: type: expected a string, found a number"},
      {R"({"type":"Connected"})", R"(error: unknown input type "Connected")"},
      {R"({"type":"message","channel":"set","json":{}})",
       R"(error: unknown message channel "set", expected "active", "passive" or "state")"},
      {R"({"type":"message","channel":"Active","json":{}})",
       R"(error: unknown message channel "Active", expected "active", "passive" or "state")"},
      {R"({"type":"message","json":{}})", "error: missing field `channel`"},
      {R"({"type":"message","channel":"active"})", "error: missing field `json`"},
      {R"({"type":"command","prop":"p"})", "error: missing field `value`"},
      {R"({"type":"command","prop":null,"value":1})", "error: prop: expected a string, found null"},
      {R"({"type":"timer"})", "error: missing field `name`"},
      {R"({"type":"describe","seed":{}})", "error: seed: expected an array of inputs, found an object"},
      {R"({"type":"describe","seed":[{"type":"connected"},{"type":"message","channel":"x","json":1}]})",
       R"(error: seed 1: unknown message channel "x", expected "active", "passive" or "state")"},
  };
  for (const Case& c : cases) EXPECT_EQ(read_input(c.definition), c.expected) << c.definition;
}

TEST(Messages, OutputForms) {
  const std::pair<Output, const char*> cases[] = {
      {Output::descriptor(J(R"({"il":0})")), R"({"type":"descriptor","desc":{"il":0}})"},
      {Output::value("power", Value(true)), R"({"type":"value","prop":"power","value":true})"},
      {Output::absent("power"), R"({"type":"absent","prop":"power"})"},
      {Output::event("button", "single"), R"({"type":"event","prop":"button","kind":"single"})"},
      {Output::send_message(J(R"({"dps":{"1":true}})")), R"({"type":"send_message","channel":"set","json":{"dps":{"1":true}}})"},
      {Output::reject("p", RejectCode::OutOfRange, "0..10"),
       R"({"type":"reject","prop":"p","code":"out_of_range","reason":"0..10"})"},
      {Output::set_timer("c0:t", Value(5)), R"({"type":"set_timer","name":"c0:t","after":5})"},
      {Output::set_timer("c0:t", Value(0.5)), R"({"type":"set_timer","name":"c0:t","after":0.5})"},
      {Output::cancel_timer("c0:t"), R"({"type":"cancel_timer","name":"c0:t"})"},
      {Output::settings_changed(J(R"({"delta":{"accept_passive":true}})")),
       R"({"type":"settings_changed","block":{"delta":{"accept_passive":true}}})"},
  };
  for (const auto& [out, expected] : cases) EXPECT_EQ(to_json(output_to_json(out)), expected);
}

TEST(Messages, RejectCodes) {
  const char* names[] = {"unknown_property", "read_only",   "requires_unmet", "invalid_value",
                         "out_of_range",     "bad_step",    "unsupported",    "unavailable"};
  for (size_t i = 0; i < std::size(names); ++i) {
    const auto code = static_cast<RejectCode>(i);
    EXPECT_EQ(reject_code_name(code), names[i]);
    EXPECT_EQ(parse_reject_code(names[i]), code);
  }
  EXPECT_FALSE(parse_reject_code("Unsupported").has_value());
}

}  // namespace
}  // namespace kesvo
