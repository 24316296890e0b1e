#include <gtest/gtest.h>

#include <string>

#include "core/json_reader.h"
#include "core/json_writer.h"
#include "data/dp_codec.h"
#include "unit/test_json.h"

namespace kesvo {
namespace {

Role role(const char* kind, const char* spec) { return Role{"dp", *parse_kind(std::string_view(kind)), J(spec), Value()}; }

std::string encoded(const Role& r, const char* value) {
  auto e = encode_dp(r, J(value));
  return e.ok() ? to_json(*e) : "error: " + e.error();
}

std::string decoded(const Role& r, const char* raw) { return to_json(decode_dp_value(r, J(raw))); }

struct Case {
  const char* kind;
  const char* spec;
  const char* input;
  const char* expected;
};

TEST(DpCodec, DecodeTable) {
  const Case cases[] = {
      {"Integer", R"({"min":0,"max":1000,"scale":1})", "245", "24.5"},
      {"Integer", R"({"min":0,"max":1000,"scale":1})", "250", "25.0"},
      {"Integer", R"({"min":0,"max":1000,"scale":0})", "25", "25.0"},
      {"Integer", R"({"min":0,"max":1000,"scale":1,"inverted":true})", "245", "75.5"},
      {"Integer", R"({"min":0,"max":1000,"scale":1,"inverted":"true"})", "245", "24.5"},
      {"Integer", R"({"min":0,"max":1000,"scale":1})", "1001", "null"},
      {"Integer", R"({"min":0,"max":1000,"scale":1})", "-1", "null"},
      {"Integer", R"({"min":0,"max":1000,"scale":1})", "\"245\"", "null"},
      {"Integer", R"({"min":0,"max":1000,"scale":1})", "null", "null"},
      {"Integer", R"({"min":0,"max":1000,"scale":1})", "[245]", "null"},
      {"Integer", R"({"min":"0","max":"1000","scale":"1"})", "245", "24.5"},
      {"Integer", R"({"min":"10","max":"1000"})", "5", "null"},
      {"Integer", R"({"min":0,"max":1,"scale":0})", "true", "1.0"},
      {"Integer", R"({"min":0,"max":1,"scale":0})", "false", "0.0"},
      {"Integer", R"({"max":100})", "-1", "null"},
      {"Integer", R"({"min":-100})", "1", "null"},
      {"Integer", R"({"min":-100,"max":100,"scale":2})", "-55", "-0.55"},
      {"Integer", R"({"min":0,"max":1000,"scale":1e10})", "245", "0.0"},
      {"Integer", R"({"min":0,"max":1000,"scale":-1e10})", "245", "null"},
      {"Integer", R"({"min":0,"max":1000,"scale":-2147483649})", "245", "null"},
      {"Integer", "null", "0", "0.0"},
      {"Boolean", "null", "true", "true"},
      {"Boolean", "null", "false", "false"},
      {"Boolean", "null", "1", "1"},
      {"Boolean", "null", "0", "0"},
      {"Boolean", "null", "1.0", "1.0"},
      {"Boolean", "null", "2", "null"},
      {"Boolean", "null", "\"true\"", "null"},
      {"Boolean", "null", "null", "null"},
      {"Enum", R"({"range":["a","b"]})", "\"b\"", "\"b\""},
      {"Enum", R"({"range":["a","b"]})", "\"c\"", "null"},
      {"Enum", R"({"range":[1,"a"]})", "1", "1"},
      {"Enum", R"({"range":[1,"a"]})", "1.0", "null"},
      {"Enum", R"({"range":"ab"})", "\"a\"", "null"},
      {"Enum", "null", "\"a\"", "null"},
      {"Bitmap", "null", "[1,{\"x\":2}]", "[1,{\"x\":2}]"},
      {"Json", "null", "null", "null"},
      {"Raw", R"({"min":5})", "1", "1"},
      {"String", "null", "\"s\"", "\"s\""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(decoded(role(c.kind, c.spec), c.input), c.expected) << c.kind << " " << c.spec << " " << c.input;
  }
}

TEST(DpCodec, DecodeReadsTheRolesStatusMember) {
  const Role r = role("Integer", R"({"min":0,"max":1000,"scale":1})");
  EXPECT_EQ(to_json(decode_dp(r, J(R"({"other":1,"dp":245})"))), "24.5");
  EXPECT_EQ(to_json(decode_dp(r, J(R"({"other":1})"))), "null");
  EXPECT_EQ(to_json(decode_dp(r, J("[245]"))), "null");
  EXPECT_EQ(to_json(decode_dp(role("Raw", "null"), J(R"({"x":1})"))), "null");
}

TEST(DpCodec, EncodeTable) {
  const Case cases[] = {
      {"Integer", R"({"min":0,"max":1000,"scale":1})", "24.5", "245"},
      {"Integer", R"({"min":0,"max":1000,"scale":1})", "24.56", "246"},
      {"Integer", R"({"min":0,"max":1000,"scale":1})", "100.04", "1000"},
      {"Integer", R"({"min":0,"max":1000,"scale":1})", "100.06", "error: value out of range"},
      {"Integer", R"({"min":0,"max":1000,"scale":1})", "-0.04", "0"},
      {"Integer", R"({"min":0,"max":1000,"scale":1})", "-0.1", "error: value out of range"},
      {"Integer", R"({"min":0,"max":1000,"scale":1,"inverted":true})", "75.5", "245"},
      {"Integer", R"({"min":0,"max":10,"scale":0})", "0.5", "0"},
      {"Integer", R"({"min":0,"max":10,"scale":0})", "1.5", "2"},
      {"Integer", R"({"min":0,"max":10,"scale":0})", "2.5", "2"},
      {"Integer", R"({"min":0,"max":10,"scale":0})", "3.5", "4"},
      {"Integer", R"({"min":-10,"max":10,"scale":0})", "-2.5", "-2"},
      {"Integer", R"({"min":0,"max":10,"scale":0})", "true", "1"},
      {"Integer", R"({"min":"0","max":"10"})", "7", "7"},
      {"Integer", R"({"min":0})", "1", "error: value out of range"},
      {"Integer", R"({"min":0})", "0", "0"},
      {"Integer", R"({"min":0,"max":10})", "\"5\"", "error: invalid numeric value"},
      {"Integer", R"({"min":0,"max":10})", "null", "error: invalid numeric value"},
      {"Integer", R"({"min":0,"max":1e300})", "1e19", "1e19"},
      {"Integer", R"({"min":0,"max":"inf","scale":0})", "1e308", "1e308"},
      {"Integer", R"({"min":0,"max":"inf","scale":400})", "1", "null"},
      {"Integer", R"({"min":"nan","max":"nan"})", "5", "5"},
      {"Boolean", "null", "true", "true"},
      {"Boolean", "null", "1", "error: invalid boolean value"},
      {"Boolean", "null", "\"true\"", "error: invalid boolean value"},
      {"Enum", R"({"range":["a","b"]})", "\"a\"", "\"a\""},
      {"Enum", R"({"range":["a","b"]})", "\"c\"", "error: invalid enum value"},
      {"Enum", R"({"range":[1,"a"]})", "1", "error: invalid enum value"},
      {"Enum", R"({"range":"a"})", "\"a\"", "error: invalid enum value"},
      {"Enum", "null", "\"a\"", "error: invalid enum value"},
      {"Bitmap", "null", "null", "null"},
      {"Json", "null", "{\"a\":[1]}", "{\"a\":[1]}"},
      {"Raw", "null", "\"AQI=\"", "\"AQI=\""},
      {"String", R"({"range":["x"]})", "5", "5"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(encoded(role(c.kind, c.spec), c.input), c.expected) << c.kind << " " << c.spec << " " << c.input;
  }
}

TEST(DpCodec, EncodeInvertsDecode) {
  const Role plain = role("Integer", R"({"min":0,"max":1000,"scale":1})");
  const Role inverted = role("Integer", R"({"min":0,"max":1000,"scale":1,"inverted":true})");
  for (int raw = 0; raw <= 1000; raw += 7) {
    const std::string text = std::to_string(raw);
    for (const Role* r : {&plain, &inverted}) {
      auto back = encode_dp(*r, decode_dp_value(*r, J(text)));
      ASSERT_TRUE(back.ok()) << raw;
      EXPECT_EQ(to_json(*back), text);
    }
  }
}

}  // namespace
}  // namespace kesvo
