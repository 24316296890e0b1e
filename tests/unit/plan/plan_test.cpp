#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/json_reader.h"
#include "core/json_writer.h"
#include "plan/plan.h"
#include "unit/test_json.h"

namespace kesvo {
namespace {

constexpr const char* kPlan =
    R"({"platform":"light","key":"lamp","identity":{"device_class":"x"},)"
    R"("roles":{"power":{"code":"switch_led","kind":"Boolean","spec":null,"report_type":null},)"
    R"("bright":{"code":"bright_value","kind":"Integer","spec":{"min":10,"max":1000,"scale":1,"step":1},"report_type":"r"}},)"
    R"("depends_on":["switch_led","bright_value"],"slot_kind":"delta","update_all":true,"config":{"mode":1}})";

Plan plan_of(std::string_view text) {
  auto r = plan_from_json(J(text));
  EXPECT_TRUE(r.ok()) << (r.ok() ? "" : r.error());
  return r.ok() ? std::move(r).value() : Plan{};
}

TEST(Plan, JsonRoundTrip) {
  EXPECT_EQ(to_json(plan_to_json(plan_of(kPlan))), kPlan);
  // Members in another order, an alias kind, a role as an array and an
  // extra member read back into the canonical form.
  const char* shuffled =
      R"({"extra":1,"config":{"mode":1},"update_all":true,"slot_kind":"delta","depends_on":["switch_led","bright_value"],)"
      R"("roles":{"power":["switch_led","bool",null,null],)"
      R"("bright":{"code":"bright_value","kind":"value","spec":{"min":10,"max":1000,"scale":1,"step":1},"report_type":"r"}},)"
      R"("identity":{"device_class":"x"},"key":"lamp","platform":"light"})";
  EXPECT_EQ(to_json(plan_to_json(plan_of(shuffled))), kPlan);
  const char* array_form =
      R"(["light","lamp",{"device_class":"x"},)"
      R"({"power":{"code":"switch_led","kind":"Boolean","spec":null,"report_type":null},)"
      R"("bright":{"code":"bright_value","kind":"Integer","spec":{"min":10,"max":1000,"scale":1,"step":1},"report_type":"r"}},)"
      R"(["switch_led","bright_value"],"delta",true,{"mode":1}])";
  EXPECT_EQ(to_json(plan_to_json(plan_of(array_form))), kPlan);
  EXPECT_EQ(to_json(plan_to_json(plan_of(R"(["p","k",null,{},[],"event",false,null])"))),
            R"({"platform":"p","key":"k","identity":null,"roles":{},"depends_on":[],"slot_kind":"event","update_all":false,"config":null})");
}

TEST(Plan, ReadErrors) {
  const std::pair<const char*, const char*> cases[] = {
      {"null", "expected a plan object or an array of eight values, found null"},
      {"\"plan\"", "expected a plan object or an array of eight values, found a string"},
      {R"(["p","k",null,{},[],null,false])", "a plan array must hold exactly eight values, found 7"},
      {R"(["p","k",null,{},[],null,false,{},1])", "a plan array must hold exactly eight values, found 9"},
      {R"({"platform":"p"})", "missing field `key`"},
      {R"({"platform":"p","key":"k","identity":null,"roles":{},"depends_on":[],"slot_kind":null,"update_all":false})",
       "missing field `config`"},
      {R"([1,"k",null,{},[],null,false,{}])", "platform: expected a string, found a number"},
      {R"(["p",null,null,{},[],null,false,{}])", "key: expected a string, found null"},
      {R"(["p","k",null,[],[],null,false,{}])", "roles: expected an object, found an array"},
      {R"(["p","k",null,{"a":{"code":"c","kind":"Bool","spec":null,"report_type":null}},[],null,false,{}])",
       R"(roles: "a": invalid dp kind)"},
      {R"(["p","k",null,{},"a",null,false,{}])", "depends_on: expected an array of strings, found a string"},
      {R"(["p","k",null,{},["a",null],null,false,{}])",
       "depends_on: expected an array of strings, found an item that is null"},
      {R"(["p","k",null,{},[],"Event",false,{}])", R"(slot_kind: expected "event", "delta" or null, found "Event")"},
      {R"(["p","k",null,{},[],1,false,{}])", R"(slot_kind: expected "event", "delta" or null, found a number)"},
      {R"(["p","k",null,{},[],null,null,{}])", "update_all: expected a boolean, found null"},
  };
  for (const auto& [text, message] : cases) {
    auto r = plan_from_json(J(text));
    ASSERT_FALSE(r.ok()) << text;
    EXPECT_EQ(r.error(), message) << text;
  }
}

TEST(Plan, EncodeCommand) {
  const Plan plan = plan_of(kPlan);
  struct Case {
    const char* role;
    const char* value;
    const char* expected;
  };
  const Case cases[] = {
      {"power", "true", R"({"code":"switch_led","value":true})"},
      {"bright", "24.56", R"({"code":"bright_value","value":246})"},
      {"bright", "100.06", "Value: value out of range"},
      {"power", "1", "Value: invalid boolean value"},
      {"colour", "1", "Invalid: colour not available"},
      {"", "1", "Invalid:  not available"},
  };
  for (const Case& c : cases) {
    auto r = encode_command(plan, c.role, J(c.value));
    const char* kind = !r.ok() && r.error().kind == ErrorKind::Value     ? "Value: "
                       : !r.ok() && r.error().kind == ErrorKind::Invalid ? "Invalid: "
                                                                         : "other: ";
    const std::string got = r.ok() ? to_json(r.value()) : kind + r.error().message;
    EXPECT_EQ(got, c.expected) << c.role << " " << c.value;
  }
}

TEST(Plan, Concerns) {
  struct Case {
    std::vector<std::string> depends_on;
    bool update_all;
    std::vector<std::string> changed;
    bool expected;
  };
  const Case cases[] = {
      {{"a", "b"}, false, {"b"}, true},
      {{"a", "b"}, false, {"c", "a"}, true},
      {{"a", "b"}, false, {"c"}, false},
      {{"a", "b"}, false, {}, false},
      {{}, false, {"a"}, false},
      {{}, true, {}, true},
      {{"a"}, true, {"z"}, true},
      {{"a"}, false, {"A"}, false},
  };
  for (const Case& c : cases) {
    Plan p;
    p.depends_on = c.depends_on;
    p.update_all = c.update_all;
    EXPECT_EQ(concerns(p, c.changed), c.expected);
  }
}

TEST(Plan, DeltaStepCountsEachTimeStampOnce) {
  DeltaSlot slot;
  EXPECT_TRUE(delta_step(slot, Value(5), Value(1000), true));
  EXPECT_FALSE(delta_step(slot, Value(7), Value(1000), true));
  EXPECT_EQ(slot.total, 5.0);
  EXPECT_TRUE(delta_step(slot, Value(7), Value(1001), true));
  EXPECT_EQ(slot.total, 12.0);
  EXPECT_EQ(to_json(slot.last_ts), "1001");

  // The float 1000.0 and the integer 1000 are different stamps.
  DeltaSlot f{0, Value(1000.0)};
  EXPECT_TRUE(delta_step(f, Value(1), Value(1000), true));
  EXPECT_EQ(to_json(f.last_ts), "1000");
  EXPECT_TRUE(delta_step(f, Value(1), Value(1000.0), true));
  EXPECT_EQ(f.total, 2.0);

  // Not accepted, no value or no time stamp: nothing changes.
  DeltaSlot n{3, Value()};
  EXPECT_FALSE(delta_step(n, Value(1), Value(1), false));
  EXPECT_FALSE(delta_step(n, Value(), Value(1), true));
  EXPECT_FALSE(delta_step(n, Value(1), Value(), true));
  EXPECT_EQ(n.total, 3.0);
  EXPECT_TRUE(n.last_ts.is_null());
}

TEST(Plan, DeltaStepKeepsTheTotalFinite) {
  DeltaSlot slot{1, Value()};
  EXPECT_TRUE(delta_step(slot, Value("inf"), Value(1), true));
  EXPECT_TRUE(delta_step(slot, Value("-nan"), Value(2), true));
  EXPECT_EQ(slot.total, 1.0);
  DeltaSlot big{1.7e308, Value()};
  EXPECT_FALSE(delta_step(big, Value(1e308), Value(1), true));
  EXPECT_EQ(big.total, 1.7e308);
  EXPECT_TRUE(big.last_ts.is_null());
}

}  // namespace
}  // namespace kesvo
