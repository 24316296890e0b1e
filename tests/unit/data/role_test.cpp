#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/json_reader.h"
#include "core/json_writer.h"
#include "data/role.h"
#include "data/role_binding.h"
#include "unit/test_json.h"

namespace kesvo {
namespace {

// The outcome of a resolution as one comparable text: the role's JSON, "none"
// or "error: message".
std::string outcome(const Result<std::optional<Role>, std::string>& r) {
  if (!r.ok()) return "error: " + r.error();
  if (!r.value()) return "none";
  return to_json(role_to_json(*r.value()));
}

TEST(Role, JsonFormsRoundTrip) {
  const Role role{"temp", DpKind::Integer, J(R"({"min":0,"max":10})"), Value("1")};
  const std::string text = R"({"code":"temp","kind":"Integer","spec":{"min":0,"max":10},"report_type":"1"})";
  EXPECT_EQ(to_json(role_to_json(role)), text);

  auto from_object = role_from_json(J(text));
  ASSERT_TRUE(from_object.ok());
  EXPECT_EQ(to_json(role_to_json(*from_object)), text);

  auto from_array = role_from_json(J(R"(["temp","value",{"min":0,"max":10},"1"])"));
  ASSERT_TRUE(from_array.ok()) << from_array.error();
  EXPECT_EQ(to_json(role_to_json(*from_array)), text);  // the alias is written canonically
}

TEST(Role, ReadingRefusesIncompleteOrMistypedForms) {
  struct Case {
    const char* json;
    const char* message;
  };
  const Case cases[] = {
      {R"({"kind":"Integer","spec":null,"report_type":null})", "missing field `code`"},
      {R"({"code":"a","spec":null,"report_type":null})", "missing field `kind`"},
      {R"({"code":"a","kind":"Enum","report_type":null})", "missing field `spec`"},
      {R"({"code":"a","kind":"Enum","spec":null})", "missing field `report_type`"},
      {R"({"code":1,"kind":"Enum","spec":null,"report_type":null})", "role code must be a string"},
      {R"({"code":"a","kind":"enumeration","spec":null,"report_type":null})", "invalid dp kind"},
      {R"({"code":"a","kind":null,"spec":null,"report_type":null})", "invalid dp kind"},
      {R"(["a","Enum",null])", "a role array must hold exactly four values"},
      {R"(["a","Enum",null,null,null])", "a role array must hold exactly four values"},
      {R"("a")", "a role must be an object or an array of four values"},
      {"null", "a role must be an object or an array of four values"},
  };
  for (const Case& c : cases) {
    auto r = role_from_json(J(c.json));
    ASSERT_FALSE(r.ok()) << c.json;
    EXPECT_EQ(r.error(), c.message) << c.json;
  }
}

TEST(Role, DescribeScalesBoundsAndStep) {
  struct Case {
    const char* kind;
    const char* spec;
    const char* expected_tail;  // range, lo, hi, step, scale
  };
  const Case cases[] = {
      {"Integer", R"({"min":0,"max":1000,"scale":1,"step":5})", R"("range":[],"lo":0,"hi":100,"step":0.5,"scale":10)"},
      {"Integer", R"({"max":255,"scale":2})", R"("range":[],"lo":0,"hi":2.55,"step":0,"scale":100)"},
      {"Integer", R"({"min":"-5","max":"50","scale":"-1","step":1})", R"("range":[],"lo":-50,"hi":500,"step":10,"scale":0.1)"},
      {"Boolean", "null", R"("range":[],"lo":0,"hi":0,"step":0,"scale":1)"},
      {"Enum", R"({"range":["a","b"]})", R"("range":["a","b"],"lo":0,"hi":0,"step":0,"scale":1)"},
      {"Enum", R"({"range":"a"})", R"("range":[],"lo":0,"hi":0,"step":0,"scale":1)"},
      {"Integer", R"({"max":1,"scale":1e10})", R"("range":[],"lo":0,"hi":0,"step":0,"scale":null)"},
      {"Integer", R"({"max":1,"scale":-1e10})", R"("range":[],"lo":null,"hi":null,"step":null,"scale":0)"},
  };
  for (const Case& c : cases) {
    const Role role{"x", *parse_kind(std::string_view(c.kind)), J(c.spec), Value()};
    const std::string head = std::string(R"({"code":"x","kind":")") + c.kind + R"(","spec":)" + to_json(J(c.spec)) +
                             R"(,"report_type":null,)";
    EXPECT_EQ(to_json(describe_role(role)), head + c.expected_tail + "}") << c.spec;
  }
}

TEST(Role, ScaleFactorOfHostileAndLooseScales) {
  EXPECT_EQ(spec_scale_factor(J(R"({"scale":1e10})")), HUGE_VAL);
  EXPECT_EQ(spec_scale_factor(J(R"({"scale":-1e10})")), 0.0);
  EXPECT_EQ(spec_scale_factor(J(R"({"scale":"nan"})")), 1.0);
  EXPECT_EQ(spec_scale_factor(J(R"({"scale":2.9})")), 100.0);
  EXPECT_EQ(spec_scale_factor(J(R"({"scale":-1})")), 0.1);
  EXPECT_EQ(spec_scale_factor(Value()), 1.0);
}

// A device with one DP per kind and the tricky Integer specs.
const char* const kDevice = R"({
  "function": {
    "sw": {"type": "Boolean"},
    "both": {"type": "Integer", "values": {"min": 1, "max": 9, "scale": 0, "step": 1}},
    "mode": {"type": "Enum", "values": "{\"range\":[\"a\",\"b\"]}"}
  },
  "status_range": {
    "sw": {"type": "bool", "report_type": "r-sw"},
    "both": {"type": "Integer", "values": {"min": 0, "max": 5, "scale": 0, "step": 1}, "report_type": "r-both"},
    "temp": {"type": "value", "values": "{\"min\":\"10\",\"max\":\" 200\\u00a0\",\"scale\":1,\"step\":1.9,\"unit\":\"C\"}"},
    "nostep": {"type": "Integer", "values": {"min": 0, "max": 10, "scale": 0}},
    "nullstep": {"type": "Integer", "values": {"min": 0, "max": 10, "scale": 0, "step": null}},
    "notobj": {"type": "Integer", "values": "[1,2]"},
    "badjson": {"type": "Integer", "values": "{"},
    "expmax": {"type": "Integer", "values": {"min": 0, "max": "2e2", "scale": 0, "step": 1}},
    "plusmax": {"type": "Integer", "values": {"min": 0, "max": "+", "scale": 0, "step": 1}},
    "emptymin": {"type": "Integer", "values": {"min": "", "max": 1, "scale": 0, "step": 1}},
    "arrscale": {"type": "Integer", "values": {"min": 0, "max": 1, "scale": [1], "step": 1}},
    "bigstep": {"type": "Integer", "values": {"min": 0, "max": 1, "scale": 0, "step": "99999999999999999999"}},
    "signs": {"type": "Integer", "values": {"min": "-9223372036854775808", "max": "+9223372036854775807", "scale": true, "step": 1e300}},
    "e0": {"type": "Enum", "values": {}},
    "e1": {"type": "Enum", "values": ""},
    "e2": {"type": "Enum", "values": {"range": ["x"]}},
    "bits": {"type": "Bitmap", "values": {"label": ["a"]}},
    "raw": {"type": "Raw"},
    "untyped": {"values": {}}
  }
})";

TEST(RoleBinding, ResolveRoleTable) {
  const Value device = J(kDevice);
  struct Case {
    std::vector<std::string> candidates;
    const char* kind;
    bool prefer_writable;
    const char* expected;
  };
  const Case cases[] = {
      // Kind names are compared canonically: "value" never matches.
      {{"temp"}, "value", false, "none"},
      {{"temp"}, "Integer", false,
       R"({"code":"temp","kind":"Integer","spec":{"min":10,"max":200,"scale":1,"step":1,"unit":"C"},"report_type":null})"},
      {{"nostep"}, "Integer", false, "error: schema nostep: missing integer field"},
      {{"nullstep"}, "Integer", false, "error: schema nullstep: missing integer field"},
      {{"notobj"}, "Integer", false, "error: schema notobj: missing integer field"},
      {{"badjson"}, "Integer", false, "error: schema badjson: missing integer field"},
      {{"expmax"}, "Integer", false, "error: schema expmax: invalid integer max"},
      {{"plusmax"}, "Integer", false, "error: schema plusmax: invalid integer max"},
      {{"emptymin"}, "Integer", false, "error: schema emptymin: invalid integer min"},
      {{"arrscale"}, "Integer", false, "error: schema arrscale: invalid integer scale"},
      {{"bigstep"}, "Integer", false, "error: schema bigstep: invalid integer step"},
      {{"signs"}, "Integer", false,
       R"({"code":"signs","kind":"Integer","spec":{"min":-9223372036854775808,"max":9223372036854775807,"scale":1,"step":9223372036854775807},"report_type":null})"},
      // An error stops the search even when a later candidate would qualify.
      {{"expmax", "temp"}, "Integer", false, "error: schema expmax: invalid integer max"},
      // The preferred table wins; report_type always comes from status_range.
      {{"both"}, "Integer", true,
       R"({"code":"both","kind":"Integer","spec":{"min":1,"max":9,"scale":0,"step":1},"report_type":"r-both"})"},
      {{"both"}, "Integer", false,
       R"({"code":"both","kind":"Integer","spec":{"min":0,"max":5,"scale":0,"step":1},"report_type":"r-both"})"},
      // An alias type in the DP table parses to its kind.
      {{"sw"}, "Boolean", false, R"({"code":"sw","kind":"Boolean","spec":null,"report_type":"r-sw"})"},
      // Falsy Enum specs do not qualify; the next candidate is tried.
      {{"e0", "e1", "e2"}, "Enum", false, R"({"code":"e2","kind":"Enum","spec":{"range":["x"]},"report_type":null})"},
      {{"e0", "e1"}, "Enum", false, "none"},
      // A string spec is parsed; found in "function" as the second table.
      {{"mode"}, "Enum", false, R"({"code":"mode","kind":"Enum","spec":{"range":["a","b"]},"report_type":null})"},
      {{"bits"}, "Bitmap", false, R"({"code":"bits","kind":"Bitmap","spec":{"label":["a"]},"report_type":null})"},
      {{"raw"}, "Raw", false, R"({"code":"raw","kind":"Raw","spec":null,"report_type":null})"},
      {{"untyped", "missing"}, "Raw", false, "none"},
      {{}, "Integer", false, "none"},
      {{"temp"}, "Integral", false, "none"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(outcome(resolve_role(device, c.candidates, c.kind, c.prefer_writable)), c.expected)
        << c.candidates.size() << " " << c.kind;
  }
}

TEST(RoleBinding, DeviceWithoutTablesResolvesNothing) {
  const std::vector<std::string> codes = {"a"};
  for (const char* device : {"null", "[]", R"({"function":5,"status_range":"x"})"}) {
    EXPECT_EQ(outcome(resolve_role(J(device), codes, "Integer", true)), "none") << device;
  }
}

TEST(RoleBinding, ResolveAnyAcceptsSeveralKindsUnderEachKindsRules) {
  const Value device = J(kDevice);
  const std::vector<std::string> kinds = {"Enum", "Integer"};
  struct Case {
    std::vector<std::string> candidates;
    const char* expected;
  };
  const Case cases[] = {
      // e0 is an Enum with a falsy spec and is skipped; temp qualifies as Integer.
      {{"sw", "e0", "temp"},
       R"({"code":"temp","kind":"Integer","spec":{"min":10,"max":200,"scale":1,"step":1,"unit":"C"},"report_type":null})"},
      {{"e2", "temp"}, R"({"code":"e2","kind":"Enum","spec":{"range":["x"]},"report_type":null})"},
      {{"e1", "expmax", "e2"}, "error: schema expmax: invalid integer max"},
      {{"sw", "raw"}, "none"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(outcome(resolve_role_any(device, c.candidates, kinds, false)), c.expected) << c.candidates.front();
  }
  EXPECT_EQ(outcome(resolve_role_any(device, std::vector<std::string>{"temp"}, {}, false)), "none");
}

TEST(RoleBinding, ResolutionLeavesTheDeviceUnchanged) {
  const Value device = J(kDevice);
  const std::string before = to_json(device);
  auto r = resolve_role(device, std::vector<std::string>{"temp"}, "Integer", false);
  ASSERT_TRUE(r.ok() && r.value());
  EXPECT_EQ(to_json(device), before);
}

}  // namespace
}  // namespace kesvo
