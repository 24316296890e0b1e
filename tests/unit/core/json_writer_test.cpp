#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "core/json_writer.h"

namespace kesvo {
namespace {

std::string fmt(double d) {
  std::string out;
  format_double(d, out);
  return out;
}

TEST(JsonWriter, DoublesUseTheShortestRoundTripForm) {
  struct Case {
    double value;
    const char* text;
  };
  const Case cases[] = {
      {1.0, "1.0"},
      {0.5, "0.5"},
      {123.456, "123.456"},
      {1e15, "1000000000000000.0"},
      {1234567890123456.0, "1234567890123456.0"},
      {1e16, "1e16"},
      {1.2345e20, "1.2345e20"},
      {0.00001, "0.00001"},
      {0.000012345, "0.000012345"},
      {1e-6, "1e-6"},
      {1.5e-7, "1.5e-7"},
      {-2.5, "-2.5"},
      {-0.0, "-0.0"},
      {0.0, "0.0"},
      {0.1 + 0.2, "0.30000000000000004"},
      {5e-324, "5e-324"},
      {1.7976931348623157e308, "1.7976931348623157e308"},
      {-1e100, "-1e100"},
      {std::numeric_limits<double>::infinity(), "null"},
      {std::nan(""), "null"},
  };
  for (const Case& c : cases) EXPECT_EQ(fmt(c.value), c.text);
}

TEST(JsonWriter, StringsEscapeOnlyWhatTheyMust) {
  Value v(std::string("q\"b\\s/\b\t\n\f\r\x01\x1f\x7f \xC3\xA9"));
  v.as_string() += '\0';
  EXPECT_EQ(to_json(v), "\"q\\\"b\\\\s/\\b\\t\\n\\f\\r\\u0001\\u001f\x7F \xC3\xA9\\u0000\"");
}

TEST(JsonWriter, CompactOutputInInsertionOrder) {
  Object o;
  o.set("z", Value());
  o.set("a", Array{Value(true), Value(-3), Value(1.0), Value("x")});
  o.set("m", Object{});
  EXPECT_EQ(to_json(Value(std::move(o))), R"({"z":null,"a":[true,-3,1.0,"x"],"m":{}})");
}

}  // namespace
}  // namespace kesvo
