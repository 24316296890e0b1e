#include <gtest/gtest.h>

#include <string>

#include "core/json_reader.h"
#include "core/json_writer.h"

namespace kesvo {
namespace {

std::string error_of(std::string_view text) {
  auto r = read_json(text);
  return r.ok() ? "<ok: " + to_json(r.value()) + ">" : r.error();
}

std::string roundtrip(std::string_view text) {
  auto r = read_json(text);
  return r.ok() ? to_json(r.value()) : "<error: " + r.error() + ">";
}

TEST(JsonReader, ErrorMessagesAndPositions) {
  struct Case {
    std::string text;
    std::string message;
  };
  const Case cases[] = {
      {"", "EOF while parsing a value at line 1 column 0"},
      {"   ", "EOF while parsing a value at line 1 column 3"},
      {"{} x", "trailing characters at line 1 column 4"},
      {"[1,2", "EOF while parsing a list at line 1 column 4"},
      {"[", "EOF while parsing a list at line 1 column 1"},
      {"[1,", "EOF while parsing a value at line 1 column 3"},
      {"{", "EOF while parsing an object at line 1 column 1"},
      {"{\"a\"", "EOF while parsing an object at line 1 column 4"},
      {"{\"a\":", "EOF while parsing a value at line 1 column 5"},
      {"{\"a\":1", "EOF while parsing an object at line 1 column 6"},
      {"{\"a\":1,", "EOF while parsing a value at line 1 column 7"},
      {"\"abc", "EOF while parsing a string at line 1 column 4"},
      {"{\"a\" 1}", "expected `:` at line 1 column 6"},
      {"[1 2]", "expected `,` or `]` at line 1 column 4"},
      {"{\"a\":1 \"b\":2}", "expected `,` or `}` at line 1 column 8"},
      {"tru", "EOF while parsing a value at line 1 column 3"},
      {"trux", "expected ident at line 1 column 4"},
      {"nul1", "expected ident at line 1 column 4"},
      {"]", "expected value at line 1 column 1"},
      {"[,1]", "expected value at line 1 column 2"},
      {"{a:1}", "expected `\"` at line 1 column 2"},
      {"{1:2}", "key must be a string at line 1 column 2"},
      {"\"\\x\"", "invalid escape at line 1 column 3"},
      {"\"\\u12G4\"", "invalid escape at line 1 column 6"},
      {"\"\\u12", "unexpected end of hex escape at line 1 column 5"},
      {"01", "invalid number at line 1 column 2"},
      {"-", "EOF while parsing a value at line 1 column 1"},
      {"-a", "invalid number at line 1 column 2"},
      {"1.", "invalid number at line 1 column 2"},
      {"1.e5", "invalid number at line 1 column 3"},
      {"1e", "invalid number at line 1 column 2"},
      {"1e+x", "invalid number at line 1 column 4"},
      {"1e400", "number out of range at line 1 column 5"},
      {"-1e400", "number out of range at line 1 column 6"},
      {"\"\\udc00\"", "invalid unicode code point at line 1 column 7"},
      {"\"\\ud800x\"", "lone leading surrogate in hex escape at line 1 column 8"},
      {"\"\\ud800\\n\"", "lone leading surrogate in hex escape at line 1 column 9"},
      {"\"\\ud800\\u0041\"", "lone leading surrogate in hex escape at line 1 column 13"},
      {"\"a\nb\"", "control character (\\u0000-\\u001F) found while parsing a string at line 1 column 3"},
      {"\"a\tb\"", "control character (\\u0000-\\u001F) found while parsing a string at line 1 column 3"},
      {"[1,]", "trailing comma at line 1 column 4"},
      {"{\"a\":1,}", "trailing comma at line 1 column 8"},
      {"[1,\n  ]", "trailing comma at line 2 column 3"},
      {"{\n\"a\":\n", "EOF while parsing a value at line 3 column 0"},
      {"\n\n  x", "expected value at line 3 column 3"},
  };
  for (const Case& c : cases) EXPECT_EQ(error_of(c.text), c.message) << "text: " << c.text;
}

TEST(JsonReader, NestingLimitIs127Levels) {
  std::string ok = std::string(127, '[') + std::string(127, ']');
  EXPECT_TRUE(read_json(ok).ok());
  std::string deep = std::string(128, '[') + std::string(128, ']');
  EXPECT_EQ(error_of(deep), "recursion limit exceeded at line 1 column 128");
  std::string objects;
  for (int i = 0; i < 127; ++i) objects += "{\"a\":";
  objects += "1" + std::string(127, '}');
  EXPECT_TRUE(read_json(objects).ok());
  std::string mixed = std::string(64, '[');
  for (int i = 0; i < 64; ++i) mixed += "{\"a\":";
  EXPECT_EQ(error_of(mixed), "recursion limit exceeded at line 1 column 380");
}

TEST(JsonReader, NumbersKeepTheirRepresentation) {
  struct Case {
    std::string text;
    Value::Type type;
    std::string written;
  };
  const Case cases[] = {
      {"0", Value::Type::UInt, "0"},
      {"18446744073709551615", Value::Type::UInt, "18446744073709551615"},
      {"18446744073709551616", Value::Type::Double, "1.8446744073709552e19"},
      {"-1", Value::Type::Int, "-1"},
      {"-9223372036854775808", Value::Type::Int, "-9223372036854775808"},
      {"-9223372036854775809", Value::Type::Double, "-9.223372036854776e18"},
      {"-0", Value::Type::Double, "-0.0"},
      {"-0.0", Value::Type::Double, "-0.0"},
      {"1.0", Value::Type::Double, "1.0"},
      {"1e2", Value::Type::Double, "100.0"},
      {"1E-2", Value::Type::Double, "0.01"},
      {"0.1", Value::Type::Double, "0.1"},
      {"2.2250738585072014e-308", Value::Type::Double, "2.2250738585072014e-308"},
      {"1e-400", Value::Type::Double, "0.0"},
      // Correct rounding of a long decimal: exactly halfway cases go to even.
      {"9007199254740993", Value::Type::UInt, "9007199254740993"},
      {"9007199254740993.0", Value::Type::Double, "9007199254740992.0"},
      {"0.30000000000000004", Value::Type::Double, "0.30000000000000004"},
  };
  for (const Case& c : cases) {
    auto r = read_json(c.text);
    ASSERT_TRUE(r.ok()) << c.text;
    EXPECT_EQ(r->type(), c.type) << c.text;
    EXPECT_EQ(to_json(*r), c.written) << c.text;
  }
}

TEST(JsonReader, StringsAndEscapes) {
  EXPECT_EQ(roundtrip(R"("a\"b\\c\/d\b\f\n\r\t")"), R"("a\"b\\c/d\b\f\n\r\t")");
  EXPECT_EQ(roundtrip(R"("\u00e9\u4e2d\ud83d\ude00")"), "\"\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80\"");
  EXPECT_EQ(roundtrip(R"("\u0000\u001f\u007f")"), "\"\\u0000\\u001f\x7F\"");
  EXPECT_EQ(roundtrip("\"\xE2\x82\xAC raw\""), "\"\xE2\x82\xAC raw\"");
}

TEST(JsonReader, ObjectsKeepOrderAndRepeatedKeysTakeTheLaterValue) {
  EXPECT_EQ(roundtrip(R"({"b":1,"a":2,"c":3})"), R"({"b":1,"a":2,"c":3})");
  EXPECT_EQ(roundtrip(R"({"a":1,"b":2,"a":3})"), R"({"a":3,"b":2})");
  EXPECT_EQ(roundtrip(" \t\r\n{ \"a\" : [ 1 , true , null ] } \n"), R"({"a":[1,true,null]})");
}

}  // namespace
}  // namespace kesvo
