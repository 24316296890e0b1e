#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/json_reader.h"
#include "core/json_writer.h"
#include "entity/classify.h"
#include "unit/test_json.h"

namespace kesvo {
namespace {

// A rule pack whose "unused" rules turn every DP into a sensor plan, with a
// hidden and a shown entity; and a device with two Boolean DPs.
const Value& rules() {
  static const Value r = J(R"({"version":1,
    "platforms":{"hidden":{"table":"t","categories":{"kg":{"key":"h"}}},"shown":{"table":"t","categories":{"kg":{"key":"s"}}}},
    "entities":{
      "hidden":{"expose":{"$use":"no"},"variants":[{"steps":[{"role":"r","codes":"a","types":"Boolean","required":true}]}]},
      "shown":{"expose":true,"variants":[{"steps":[{"role":"r","codes":"b","types":"Boolean","required":true}]}]}},
    "unused":{"role":"dp","variants":[{"when":true,"platform":"sensor","steps":[]}]},
    "templates":{"no":false},"functions":{},"quirks":{},"units":{},"host_units":{},"maps":{},"features":{},
    "constants":{},"cover_defaults":{},"cover_switches":{},"motion_property":{},"strategies":[]})");
  return r;
}

const Value& device() {
  static const Value d = J(R"({"category":"kg","status_range":{"a":{"type":"Boolean"},"b":{"type":"Boolean"}}})");
  return d;
}

std::vector<std::string> platform_keys(const std::vector<Plan>& plans) {
  std::vector<std::string> out;
  for (const Plan& p : plans) out.push_back(p.platform + ":" + p.key);
  return out;
}

TEST(PlanUnused, ConsumedCodesOfExposedPlans) {
  auto classified = classify(rules(), device(), Value(), nullptr);
  ASSERT_TRUE(classified.ok()) << classified.error().message;
  std::vector<Plan> plans = std::move(classified).value();
  ASSERT_EQ(platform_keys(plans), (std::vector<std::string>{"hidden:h", "shown:s"}));

  // "a" belongs to a plan whose entity is not exposed: it still gets an
  // unused plan; "b" is consumed by the exposed plan.
  const Value entries = J(R"({"2":["b","default",{}],"1":["a","default",{}],"3":["c","default",{}]})");
  ASSERT_TRUE(plan_unused(rules(), device(), entries.as_object(), plans).ok());
  EXPECT_EQ(platform_keys(plans), (std::vector<std::string>{"hidden:h", "shown:s", "sensor:a", "sensor:c"}));
  EXPECT_EQ(to_json(plan_to_json(plans[2])),
            R"({"platform":"sensor","key":"a","identity":{},"roles":{"dp":{"code":"a","kind":"Boolean","spec":null,)"
            R"("report_type":null}},"depends_on":["a"],"slot_kind":null,"update_all":false,"config":{}})");

  // Excluded codes count as consumed from the start.
  std::vector<Plan> none;
  const std::string excluded[] = {"a"};
  ASSERT_TRUE(plan_unused(rules(), device(), entries.as_object(), none, excluded).ok());
  EXPECT_EQ(platform_keys(none), (std::vector<std::string>{"sensor:b", "sensor:c"}));
}

TEST(PlanUnused, PlatformList) {
  const std::vector<std::string> only_shown = {"shown"};
  auto r = classify(rules(), device(), Value(), &only_shown);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(platform_keys(r.value()), (std::vector<std::string>{"shown:s"}));
  const std::vector<std::string> none;
  r = classify(rules(), device(), Value(), &none);
  ASSERT_TRUE(r.ok());
  EXPECT_TRUE(r.value().empty());
}

TEST(PlanUnused, FailuresAreInvalid) {
  const Value bad = J(R"({"unused":{"role":"dp","variants":[{"when":{"op":"error","message":"w"},"platform":"x","steps":[]}]}})");
  const Value entries = J(R"({"1":["a","default",{}]})");
  std::vector<Plan> plans;
  auto r = plan_unused(bad, device(), entries.as_object(), plans);
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error().kind, ErrorKind::Invalid);
  EXPECT_EQ(r.error().message, "w");

  const Value bad_steps = J(R"({"unused":{"role":"dp","variants":[{"when":true,"platform":"x","steps":[{"set":"roles.x","value":1}]}]}})");
  r = plan_unused(bad_steps, device(), entries.as_object(), plans);
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error().kind, ErrorKind::Invalid);
  EXPECT_EQ(r.error().message, R"(a variant can assign only ["identity", "config", "plan"], not roles)");
}

}  // namespace
}  // namespace kesvo
