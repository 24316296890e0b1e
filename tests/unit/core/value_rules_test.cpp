#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/json_reader.h"
#include "core/json_writer.h"
#include "core/value_rules.h"
#include "unit/test_json.h"

namespace kesvo {
namespace {

TEST(ValueRules, Truthy) {
  for (const char* t : {"true", "1", "-1", "0.5", "\"x\"", "[0]", "{\"a\":null}"}) EXPECT_TRUE(truthy(J(t))) << t;
  for (const char* t : {"null", "false", "0", "0.0", "-0.0", "\"\"", "[]", "{}"}) EXPECT_FALSE(truthy(J(t))) << t;
}

TEST(ValueRules, ToNumber) {
  struct Case {
    const char* json;
    double expected;
  };
  const Case cases[] = {
      {"\"1e3\"", 1000},  {"\".5\"", 0.5},   {"\"5.\"", 5},     {"\" 1\"", 0},      {"\"1 \"", 0},
      {"\"abc\"", 0},     {"true", 1},       {"false", 0},      {"null", 0},        {"[1]", 0},
      {"{}", 0},          {"\"+2\"", 2},     {"\"-2.5e-1\"", -0.25}, {"\".\"", 0},  {"\"1e\"", 0},
      {"\"\"", 0},        {"\"+\"", 0},      {"\"0x10\"", 0},   {"7", 7},           {"-7", -7},
      {"\"1_000\"", 0},   {"\"1e+2\"", 100},
  };
  for (const Case& c : cases) EXPECT_EQ(to_number(J(c.json)), c.expected) << c.json;
  EXPECT_TRUE(std::isinf(to_number(J("\"inf\""))));
  EXPECT_TRUE(std::isinf(to_number(J("\"-Infinity\""))));
  EXPECT_LT(to_number(J("\"-INF\"")), 0);
  EXPECT_TRUE(std::isnan(to_number(J("\"NaN\""))));
  EXPECT_EQ(to_number(J("\"nan(1)\"")), 0);
}

TEST(ValueRules, NumberValue) {
  EXPECT_EQ(to_json(number_value(3.0)), "3");
  EXPECT_EQ(number_value(3.0).type(), Value::Type::UInt);
  EXPECT_EQ(to_json(number_value(-3.0)), "-3");
  EXPECT_EQ(to_json(number_value(-0.0)), "0");
  EXPECT_EQ(to_json(number_value(3.5)), "3.5");
  EXPECT_EQ(to_json(number_value(1e19)), "1e19");
  EXPECT_EQ(number_value(1e19).type(), Value::Type::Double);
  EXPECT_EQ(to_json(number_value(9.2e18)), "9200000000000000000");
  EXPECT_TRUE(number_value(std::nan("")).is_null());
  EXPECT_TRUE(number_value(std::numeric_limits<double>::infinity()).is_null());
}

TEST(ValueRules, StrictAndLooseEquality) {
  EXPECT_FALSE(strict_equal(J("1"), J("1.0")));
  EXPECT_TRUE(strict_equal(J("1.0"), J("1e0")));
  EXPECT_TRUE(strict_equal(J("-5"), J("-5")));
  EXPECT_TRUE(strict_equal(J("{\"a\":1,\"b\":[null]}"), J("{\"b\":[null],\"a\":1}")));
  EXPECT_FALSE(strict_equal(J("{\"a\":1}"), J("{\"a\":1,\"b\":2}")));
  EXPECT_FALSE(strict_equal(J("[1,2]"), J("[2,1]")));
  EXPECT_FALSE(strict_equal(J("true"), J("1")));
  EXPECT_TRUE(loose_equal(J("true"), J("1")));
  EXPECT_TRUE(loose_equal(J("1"), J("1.0")));
  EXPECT_TRUE(loose_equal(J("false"), J("0.0")));
  EXPECT_FALSE(loose_equal(J("\"1\""), J("1")));
  EXPECT_FALSE(loose_equal(J("[1]"), J("[1.0]")));
  EXPECT_TRUE(loose_equal(J("null"), J("null")));
}

TEST(ValueRules, IntegerConversionAndRounding) {
  EXPECT_EQ(to_i64(2.9), 2);
  EXPECT_EQ(to_i64(-2.9), -2);
  EXPECT_EQ(to_i64(std::nan("")), 0);
  EXPECT_EQ(to_i64(1e30), std::numeric_limits<int64_t>::max());
  EXPECT_EQ(to_i64(-1e30), std::numeric_limits<int64_t>::min());
  EXPECT_EQ(to_i32(1e10), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(to_i32(-1e10), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(round_half_even(0.5), 0);
  EXPECT_EQ(round_half_even(1.5), 2);
  EXPECT_EQ(round_half_even(2.5), 2);
  EXPECT_EQ(round_half_even(3.5), 4);
  EXPECT_EQ(round_half_even(-2.5), -2);
  EXPECT_EQ(round_half_even(-0.5), 0);
  EXPECT_EQ(round_half_even(2.4999999999999996), 2);
  EXPECT_EQ(round_half_even(1001.0000000000001), 1001);
}

}  // namespace
}  // namespace kesvo
