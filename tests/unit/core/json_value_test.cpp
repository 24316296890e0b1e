#include <gtest/gtest.h>

#include <string>

#include "core/json.h"
#include "core/json_reader.h"
#include "core/json_writer.h"

namespace kesvo {
namespace {

std::string keys_of(const Object& o) {
  std::string out;
  for (const Member& m : o) out += m.key + ",";
  return out;
}

TEST(JsonObject, InsertReplaceAndRemoveFollowTheOrderRules) {
  Object o;
  o.set("a", 1);
  o.set("b", 2);
  o.set("c", 3);
  o.set("d", 4);
  o.set("b", 20);  // replacing keeps the position
  EXPECT_EQ(keys_of(o), "a,b,c,d,");
  EXPECT_EQ(o.find("b")->as_uint(), 20u);
  EXPECT_TRUE(o.erase("b"));  // the last member moves into the gap
  EXPECT_EQ(keys_of(o), "a,d,c,");
  EXPECT_FALSE(o.erase("zzz"));
  EXPECT_TRUE(o.erase("c"));  // removing the last member
  EXPECT_EQ(keys_of(o), "a,d,");
}

TEST(JsonObject, LargeObjectsStayConsistentThroughTheHashIndex) {
  Object o;
  const int n = 5000;
  for (int i = 0; i < n; ++i) o.set("k" + std::to_string(i), i);
  ASSERT_EQ(o.size(), static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) ASSERT_EQ(o.index_of("k" + std::to_string(i)), static_cast<size_t>(i));
  // Remove every third key; each removal moves the last member into the gap.
  std::vector<std::string> order;
  for (const Member& m : o) order.push_back(m.key);
  for (int i = 0; i < n; i += 3) {
    const std::string key = "k" + std::to_string(i);
    auto pos = std::find(order.begin(), order.end(), key) - order.begin();
    order[pos] = order.back();
    order.pop_back();
    ASSERT_TRUE(o.erase(key));
  }
  ASSERT_EQ(o.size(), order.size());
  for (size_t i = 0; i < order.size(); ++i) {
    ASSERT_EQ(o.member_at(i).key, order[i]);
    ASSERT_EQ(o.index_of(order[i]), i);
  }
  for (int i = 0; i < n; i += 3) ASSERT_EQ(o.find("k" + std::to_string(i)), nullptr);
  Object copy = o;  // copies keep a working index
  EXPECT_EQ(copy.index_of(order.back()), order.size() - 1);
  copy.set("new", true);
  EXPECT_EQ(copy.index_of("new"), order.size());
  EXPECT_EQ(o.find("new"), nullptr);
}

TEST(JsonValue, IntegersNormaliseToTheirRepresentation) {
  EXPECT_EQ(Value(5).type(), Value::Type::UInt);
  EXPECT_EQ(Value(-5).type(), Value::Type::Int);
  EXPECT_EQ(Value::from_i64(0).type(), Value::Type::UInt);
  EXPECT_EQ(Value(uint64_t{18446744073709551615u}).as_uint(), 18446744073709551615u);
  EXPECT_EQ(Value(2.0).type(), Value::Type::Double);
}

TEST(JsonValue, CopiesAreDeepAndMovesLeaveNull) {
  Value a = read_json(R"({"x":[1,{"y":"z"}]})").value();
  Value b = a;
  b.member("x").as_array().push_back(Value(3));
  EXPECT_EQ(to_json(a), R"({"x":[1,{"y":"z"}]})");
  EXPECT_EQ(to_json(b), R"({"x":[1,{"y":"z"},3]})");
  Value c = std::move(b);
  EXPECT_TRUE(b.is_null());  // NOLINT: checking the moved-from state
  EXPECT_EQ(c["x"].at(1)["y"].as_string(), "z");
  EXPECT_TRUE(c["missing"].is_null());
  EXPECT_TRUE(c["x"].at(99).is_null());
}

}  // namespace
}  // namespace kesvo
