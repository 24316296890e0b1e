// Validation of override maps and blocks: every message, in the order the
// checks run.
#include <gtest/gtest.h>

#include <string>

#include "core/json_reader.h"
#include "driver/overrides/check.h"
#include "unit/test_json.h"

namespace kesvo {
namespace {

// The rule pack the checks consult: only "cover_defaults" matters.
const Value& rules() {
  static const Value r = J(R"({"cover_defaults":{"invert_position":false,"invert_tilt":true}})");
  return r;
}

std::string message(const CheckResult& r) { return r.ok() ? std::string() : r.error(); }

struct Case {
  const char* block;
  const char* expected;  // "" = accepted
};

void run_blocks(const Case* begin, const Case* end, bool final) {
  for (const Case* c = begin; c != end; ++c) {
    EXPECT_EQ(message(check_block(J(c->block), rules(), final)), c->expected)
        << (final ? "final " : "") << c->block;
  }
}

TEST(OverrideCheck, OverrideMaps) {
  const struct {
    const char* map;
    const char* expected;
  } cases[] = {
      {"{}", ""},
      {"[]", "overrides must be object"},
      {"null", "overrides must be object"},
      {R"({"abc":5})", "abc: override block must be object"},
      {R"({"abc":{"dp":[]}})", "abc: dp: must be object"},
      {R"({"ok":{},"abc":{"bogus":1}})", "abc: unknown key bogus"},
      {R"({"a":{"auto":1},"b":5})", "a: auto: true or false"},
      // the per-key check is not final: an undeclared emit passes here
      {R"({"p":{"converters":{"declarative":{"update":[{"emit":"x"}]}}}})", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(message(check_overrides(J(c.map), rules())), c.expected) << c.map;
}

TEST(OverrideCheck, BlockMembers) {
  const Case cases[] = {
      {"5", "must be object"},
      {R"({"auto":true,"extra":1})", "unknown key extra"},
      {R"({"dp":5})", "dp: must be object"},
      {R"({"props":[]})", "props: must be object"},
      {R"({"remap":null})", "remap: must be object"},
      {R"({"converters":"x"})", "converters: must be object"},
      // member-type checks run before the checks of the entries
      {R"({"dp":{"1":5},"props":5})", "props: must be object"},
      {R"({"category":"fs"})", ""},
      {R"({"category":""})", "category: needs a nonempty string"},
      {R"({"category":null})", "category: needs a nonempty string"},
      {R"({"device":{"kind":"x","label":null}})", ""},
      {R"({"device":5})", "must be object"},
      {R"({"device":{"name":"x"}})", "unknown key name"},
      {R"({"device":{"vendor":5}})", "device.vendor: needs a string or null"},
      {R"({"auto":false,"expose_unused":true})", ""},
      {R"({"auto":"false"})", "auto: true or false"},
      {R"({"expose_unused":0})", "expose_unused: true or false"},
      {R"({"remove":["a","b"]})", ""},
      {R"({"remove":[]})", ""},
      {R"({"remove":"a"})", "remove needs list of codes"},
      {R"({"remove":["a",1]})", "remove needs list of codes"},
      {R"({"delta":{"accept_passive":true}})", ""},
      {R"({"delta":{}})", ""},
      {R"({"delta":true})", "must be object"},
      {R"({"delta":{"accept":true}})", "unknown key accept"},
      {R"({"delta":{"accept_passive":1}})", "delta needs bool"},
  };
  run_blocks(std::begin(cases), std::end(cases), false);
}

TEST(OverrideCheck, DpEntries) {
  const Case cases[] = {
      {R"({"dp":{"101":{"code":"battery"}}})", ""},
      {R"({"dp":{"101":{"code":"battery","type":"value","mode":"R"}}})", ""},
      {R"({"dp":{"101":{"code":"x","type":"Integer","mode":"RW","values":{},"report_type":null}}})", ""},
      {R"({"dp":{"101":5}})", "must be object"},
      {R"({"dp":{"101":{"code":"x","scale":1}}})", "unknown key scale"},
      {R"({"dp":{"101":{"code":0}}})", "invalid dp definition"},
      {R"({"dp":{"101":{"code":""}}})", "invalid dp definition"},
      {R"({"dp":{"101":{"type":"Integer"}}})", "invalid dp definition"},
      {R"({"dp":{"101":{"code":"x","type":"Number"}}})", "invalid dp definition"},
      {R"({"dp":{"101":{"code":"x","type":null}}})", "invalid dp definition"},
      {R"({"dp":{"101":{"code":"x","type":"Integer","mode":"WR"}}})", "invalid mode"},
      {R"({"dp":{"101":{"code":"x","type":"Integer","mode":null}}})", "invalid mode"},
      {R"({"dp":{"101":{"code":"x","mode":"R"}}})", "a rename takes only a `code`"},
      {R"({"dp":{"101":{"code":"x","values":{}}}})", "a rename takes only a `code`"},
  };
  run_blocks(std::begin(cases), std::end(cases), false);
}

TEST(OverrideCheck, PropertyPatches) {
  const Case cases[] = {
      {R"({"props":{"power":{"label":"Power","hide":false,"rw":false,"category":"config"}}})", ""},
      {R"({"props":{"power":5}})", "property patch must be object"},
      {R"({"props":{"power":{"min":1}}})", "unknown key min"},
      {R"({"props":{"power":{"label":5}}})", "property label: needs string or null"},
      {R"({"props":{"power":{"role":[]}}})", "property role: needs string or null"},
      {R"({"props":{"power":{"category":"main"}}})", "invalid category"},
      {R"({"props":{"power":{"series":"rate"}}})", "invalid series"},
      {R"({"props":{"power":{"series":null,"category":null}}})", ""},
      {R"({"props":{"power":{"rw":"no"}}})", "rw needs bool"},
      {R"({"props":{"power":{"hide":1}}})", "hide needs bool"},
      {R"({"props":{"power":{"rw":true}}})", "rw can only be false"},
      // with "src": the typed form
      {R"({"props":{"t":{"src":"temp","type":"number","min":0,"max":10,"step":0.5,"rw":true}}})", ""},
      {R"({"props":{"t":{"src":"temp","hide":true}}})", "unknown key hide"},
      {R"({"props":{"t":{"src":""}}})", "src needs code"},
      {R"({"props":{"t":{"src":null}}})", "src needs code"},
      {R"({"props":{"t":{"src":"a","type":"event","options":["x"]}}})", "invalid property type"},
      {R"({"props":{"t":{"src":"a","type":"slider"}}})", "invalid property type"},
      {R"({"props":{"t":{"src":"a","type":"trigger"}}})", "trigger needs send"},
      {R"({"props":{"t":{"src":"a","type":"binary","send":1}}})", "trigger needs send"},
      {R"({"props":{"t":{"src":"a","send":1}}})", "trigger needs send"},
      {R"({"props":{"t":{"src":"a","type":"trigger","send":1}}})", ""},
      {R"({"props":{"t":{"src":"a","min":"0"}}})", "min needs number"},
      {R"({"props":{"t":{"src":"a","step":0}}})", "step must be positive"},
      {R"({"props":{"t":{"src":"a","step":-1}}})", "step must be positive"},
      {R"({"props":{"t":{"src":"a","min":5,"max":4.5}}})", "min exceeds max"},
      {R"({"props":{"t":{"src":"a","min":-5,"max":-5}}})", ""},
      // compared exactly, not through doubles
      {R"({"props":{"t":{"src":"a","min":9007199254740993,"max":9007199254740992}}})", "min exceeds max"},
      {R"({"props":{"t":{"src":"a","options":"x"}}})", "options need array of strings"},
      {R"({"props":{"t":{"src":"a","options":["x",1]}}})", "options need array of strings"},
      {R"({"props":{"t":{"src":"a","options":["x","y","x"]}}})", "duplicate options"},
      // select without options is a final-only problem, and patches are never final
      {R"({"props":{"t":{"src":"a","type":"select"}}})", ""},
  };
  run_blocks(std::begin(cases), std::end(cases), false);
}

TEST(OverrideCheck, Remaps) {
  const Case cases[] = {
      {R"({"remap":{"mode":{"alias":{"cold":"cool"},"invert":false}}})", ""},
      {R"({"remap":{"mode":[]}})", "remap needs object"},
      {R"({"remap":{"mode":{"words":{}}}})", "unknown key words"},
      {R"({"remap":{"mode":{"invert":"yes"}}})", "invert needs bool"},
      {R"({"remap":{"mode":{"alias":["a"]}}})", "alias needs object"},
      {R"({"remap":{"mode":{"alias":{"a":1}}}})", "alias values need strings"},
      {R"({"remap":{"x":{"alias":{"a":"z","b":"z"}}}})", "duplicate alias"},
      // all values are checked for strings before duplicates are looked for
      {R"({"remap":{"x":{"alias":{"a":"z","b":"z","c":3}}}})", "alias values need strings"},
  };
  run_blocks(std::begin(cases), std::end(cases), false);
}

TEST(OverrideCheck, CoverBlocks) {
  const Case cases[] = {
      {R"({"cover":{"invert_position":true,"living":{"settle":3}}})", ""},
      {R"({"cover":{"settle":0,"state_source":"none","invert_tilt":false}})", ""},
      {R"({"cover":5})", "cover needs object"},
      {R"({"cover":{"settle":-1}})", "invalid settle"},
      {R"({"cover":{"settle":"1"}})", "invalid settle"},
      {R"({"cover":{"state_source":null}})", "invalid state_source"},
      {R"({"cover":{"state_source":"auto"}})", "invalid state_source"},
      {R"({"cover":{"invert_position":1}})", "cover needs bool"},
      // a setting not in the rule pack's cover_defaults is a group or unknown
      {R"({"cover":{"invert_control":true}})", "unknown cover key invert_control"},
      {R"({"cover":{"living":{"kitchen":{}}}})", "unknown cover key kitchen"},
      {R"({"cover":{"living":{"settle":-2}}})", "invalid settle"},
  };
  run_blocks(std::begin(cases), std::end(cases), false);
  // Without cover_defaults in the rule pack only settle and state_source are settings.
  EXPECT_EQ(message(check_cover_block(J(R"({"invert_position":true})"), Value::object(), true)),
            "unknown cover key invert_position");
}

TEST(OverrideCheck, DeclarativeConverter) {
  const Case per_key[] = {
      {R"({"converters":{"other":{}}})", "unknown converter other"},
      {R"({"converters":{}})", ""},
      {R"({"converters":{"declarative":5}})", "declarative converter and props must be objects"},
      {R"({"converters":{"declarative":{}}})", ""},
      {R"({"converters":{"declarative":{"props":[]}}})", "declarative converter and props must be objects"},
      {R"({"converters":{"declarative":{"props":{},"write":[]}}})", "write must be object"},
      {R"({"converters":{"declarative":{"props":{"available":{}}}}})", "invalid converter property"},
      {R"({"converters":{"declarative":{"props":{"p":5}}}})", "invalid converter property"},
      {R"({"converters":{"declarative":{"props":{"p":{"hide":true}}}}})", "unknown key hide"},
      {R"({"converters":{"declarative":{"props":{"p":{"type":"number","rw":true}}}}})", ""},
      {R"({"converters":{"declarative":{"props":{"p":{"type":"event"}}}}})", ""},
      {R"({"converters":{"declarative":{"props":{"p":{"type":"gauge"}}}}})", "invalid property type"},
      {R"({"converters":{"declarative":{"props":{},"write":{"q":[]}}}})", ""},
      {R"({"converters":{"declarative":{"update":5}}})", "rule program must be an array"},
  };
  run_blocks(std::begin(per_key), std::end(per_key), false);
  const Case final_cases[] = {
      {R"({"converters":{"declarative":{}}})", "declarative converter and props must be objects"},
      {R"({"converters":{"declarative":{"props":{"p":{"type":"number","rw":true}}}}})",
       "writable declarative property needs write program"},
      {R"({"converters":{"declarative":{"props":{"p":{"type":"trigger"}},"write":{}}}})",
       "writable declarative property needs write program"},
      {R"({"converters":{"declarative":{"props":{"p":{"type":"number","rw":true}},"write":{"p":[]}}}})", ""},
      {R"({"converters":{"declarative":{"props":{"p":{"rw":false}}}}})", "invalid property type"},
      {R"({"converters":{"declarative":{"props":{"p":{"type":"select"}}}}})", "select/event needs options"},
      {R"({"converters":{"declarative":{"props":{"p":{"type":"event","options":["a"]}}}}})", ""},
      {R"({"converters":{"declarative":{"props":{},"write":{"q":[]}}}})", "write: unknown property q"},
      {R"({"converters":{"declarative":{"props":{"p":{"type":"text"}},"update":[{"emit":"x"}]}}})",
       "emit: unknown property"},
      {R"({"converters":{"declarative":{"props":{"p":{"type":"text"}},"update":[{"emit":"p","value":1}]}}})", ""},
  };
  run_blocks(std::begin(final_cases), std::end(final_cases), true);
}

TEST(OverrideCheck, Programs) {
  const struct {
    const char* program;
    bool full;
    const char* expected;
  } cases[] = {
      {R"([{"set":["state","x"],"value":1}])", true, ""},
      {R"([{"set":"state.x.y","value":1}])", true, ""},
      {R"([{"set":"state"}])", true, ""},
      {R"([{"set":"config.x","value":1}])", true, "rules can assign only state slots"},
      {R"([{"set":"states.x","value":1}])", true, "rules can assign only state slots"},
      {R"([{"set":[],"value":1}])", true, "rules can assign only state slots"},
      {R"([{"set":5}])", true, "rules can assign only state slots"},
      {R"([{"set":"state","to":1}])", true, "unknown key to"},
      {R"({"set":"state"})", true, "rule program must be an array"},
      {R"([5])", true, "statement must be object"},
      {R"([{}])", true, "unknown rule statement"},
      {R"([{"value":1}])", true, "unknown rule statement"},
      // the first statement member in the order if, set, emit, timer, send, let decides
      {R"([{"let":"x","set":"state.a","value":1}])", true, "unknown key let"},
      {R"([{"if":true,"then":[{"set":"config"}]}])", true, "rules can assign only state slots"},
      {R"([{"if":true,"then":[],"else":5}])", true, "rule program must be an array"},
      {R"([{"if":true,"value":1}])", true, "unknown key value"},
      {R"([{"emit":"p","value":1}])", true, ""},
      {R"([{"emit":""}])", true, "emit: unknown property"},
      {R"([{"emit":5}])", true, "emit: unknown property"},
      {R"([{"timer":"t","after":0}])", true, ""},
      {R"([{"timer":"t","after":null}])", true, ""},
      {R"([{"timer":"t"}])", true, ""},
      {R"([{"timer":""}])", true, "timer needs name"},
      {R"([{"timer":"t","after":-1}])", true, "invalid timer delay"},
      {R"([{"timer":"t","after":"5"}])", true, "invalid timer delay"},
      {R"([{"send":{"code":"a","value":1}}])", true, ""},
      {R"([{"send":null}])", true, "send needs code and value"},
      {R"([{"send":{"code":"a"}}])", true, "send needs code and value"},
      {R"([{"send":5}])", true, "must be object"},
      {R"([{"send":{"code":"a","value":1,"x":2}}])", true, "unknown key x"},
      {R"([{"send":{"code":"a","value":1},"value":2}])", true, "unknown key value"},
      {R"([{"let":"x","value":1}])", true, ""},
      {R"([{"let":""}])", true, "let needs name"},
      // reset programs may only assign state, at any depth
      {R"([{"let":"x","value":1},{"if":1,"then":[{"set":"state.a"}]}])", false, ""},
      {R"([{"emit":"p"}])", false, "reset programs can only assign state"},
      {R"([{"if":1,"else":[{"timer":"t"}]}])", false, "reset programs can only assign state"},
      {R"([{"send":{"code":"a","value":1}}])", false, "reset programs can only assign state"},
  };
  const Value props = J(R"({"p":{"type":"text"}})");
  for (const auto& c : cases) {
    EXPECT_EQ(message(check_program(J(c.program), props, 0, true, c.full)), c.expected) << c.program;
  }
}

// A program whose innermost "then" lies inside `levels` nested "if" statements.
Value nested_ifs(int levels) {
  Value program = J(R"([{"set":"state.x","value":1}])");
  for (int i = 0; i < levels; ++i) {
    Object st;
    st.append_new("if", Value(true));
    st.append_new("then", std::move(program));
    Array wrapped;
    wrapped.emplace_back(std::move(st));
    program = Value(std::move(wrapped));
  }
  return program;
}

TEST(OverrideCheck, NestingLimit) {
  EXPECT_EQ(message(check_program(nested_ifs(63), Value(), 0, false, true)), "");
  EXPECT_EQ(message(check_program(nested_ifs(64), Value(), 0, false, true)), "rule nesting limit exceeded");
  // Through a whole block: the update program of a converter.
  Value block = J(R"({"converters":{"declarative":{}}})");
  block.member("converters").member("declarative").member("update") = nested_ifs(64);
  EXPECT_EQ(message(check_block(block, rules(), false)), "rule nesting limit exceeded");
}

}  // namespace
}  // namespace kesvo
