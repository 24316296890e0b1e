// The schema validator on small schemas of its own, and the embedded
// rule-pack schema's identity and required order.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "core/json_reader.h"
#include "core/json_writer.h"
#include "rules/schema.h"
#include "unit/test_json.h"

namespace kesvo {
namespace {

// "" for success, otherwise the failure message.
std::string check(std::string_view schema, std::string_view value, std::string_view path = {}) {
  const Value root = J(schema);
  auto r = validate(J(value), root, root, path);
  return r.ok() ? std::string() : r.error();
}

struct Case {
  const char* schema;
  const char* value;
  const char* expected;  // "" = valid
};

TEST(SchemaValidator, KeywordTable) {
  const Case cases[] = {
      // type: the five names; any other name never matches; non-string ignored
      {R"({"type":"object"})", "{}", ""},
      {R"({"type":"object"})", "[]", R"(rules : expected "object")"},
      {R"({"type":"array"})", "{}", R"(rules : expected "array")"},
      {R"({"type":"string"})", "1", R"(rules : expected "string")"},
      {R"({"type":"number"})", "1", ""},
      {R"({"type":"number"})", "-1", ""},
      {R"({"type":"number"})", "1.5e300", ""},
      {R"({"type":"number"})", "\"1\"", R"(rules : expected "number")"},
      {R"({"type":"boolean"})", "false", ""},
      {R"({"type":"boolean"})", "0", R"(rules : expected "boolean")"},
      {R"({"type":"integer"})", "1", R"(rules : expected "integer")"},
      {R"({"type":"null"})", "null", R"(rules : expected "null")"},
      {R"({"type":["object"]})", "5", ""},
      {R"({"type":5})", "\"x\"", ""},
      // const and enum use strict equality: 1 and 1.0 differ, member order does not matter
      {R"({"const":1})", "1", ""},
      {R"({"const":1})", "1.0", "rules : expected 1"},
      {R"({"const":1.0})", "1", "rules : expected 1.0"},
      {R"({"const":{"a":1,"b":[true]}})", R"({"b":[true],"a":1})", ""},
      {R"({"const":{"a":1}})", R"({"a":1,"b":2})", R"(rules : expected {"a":1})"},
      {R"({"const":null})", "false", "rules : expected null"},
      {R"({"enum":[null,"a",-2]})", "null", ""},
      {R"({"enum":[null,"a",-2]})", "-2", ""},
      {R"({"enum":[null,"a",-2]})", "-2.0", "rules : unsupported value -2.0"},
      {R"({"enum":[null,"a"]})", R"({"x":"é"})", R"(rules : unsupported value {"x":"é"})"},
      {R"({"enum":[]})", "1", "rules : unsupported value 1"},
      {R"({"enum":"a"})", "1", ""},
      // type before const before enum
      {R"({"type":"string","const":"a","enum":["b"]})", "1", R"(rules : expected "string")"},
      {R"({"const":"a","enum":["b"]})", "\"c\"", R"(rules : expected "a")"},
      // minLength counts Unicode scalar values, applies to strings only
      {R"({"minLength":2})", "\"é\"", "rules : string too short"},
      {R"({"minLength":2})", "\"éé\"", ""},
      {R"({"minLength":1})", "\"💡\"", ""},
      {R"({"minLength":1})", "\"\"", "rules : string too short"},
      {R"({"minLength":1})", "[]", ""},
      {R"({"minLength":-1})", "\"\"", ""},
      {R"({"minLength":1.0})", "\"\"", ""},
      // required: in list order, before any member is looked at
      {R"({"required":["a","b"]})", R"({"b":1})", R"(rules : missing "a")"},
      {R"({"required":["a","b"],"properties":{"a":{"type":"string"}}})", R"({"a":1})", R"(rules : missing "b")"},
      {R"({"required":["a",5]})", R"({"a":1})", "invalid schema required field"},
      {R"({"required":[5]})", "[]", ""},
      {R"({"required":"a"})", "{}", ""},
      // properties and additionalProperties
      {R"({"properties":{"a":{"type":"string"}}})", R"({"a":"x","b":1})", ""},
      {R"({"properties":{"a":{"type":"string"}},"additionalProperties":false})", R"({"a":"x","b":1})",
       "rules : unknown field b"},
      {R"({"additionalProperties":{"type":"string"}})", R"({"a":"x","b":1})", R"(rules /b: expected "string")"},
      {R"({"additionalProperties":true})", R"({"a":1})", ""},
      {R"({"additionalProperties":0})", R"({"a":1})", ""},
      // members are checked in the object's order; the first failure wins
      {R"({"additionalProperties":{"type":"string"}})", R"({"z":1,"a":2})", R"(rules /z: expected "string")"},
      // items and uniqueItems
      {R"({"items":{"type":"string"}})", R"(["a",1])", R"(rules /1: expected "string")"},
      {R"({"items":{"type":"string"},"uniqueItems":true})", "[]", ""},
      {R"({"uniqueItems":true})", "[1,1.0,\"1\",[1],{\"a\":1}]", ""},
      {R"({"uniqueItems":true})", R"([{"a":1,"b":2},{"b":2,"a":1}])", "rules : duplicate item"},
      {R"({"uniqueItems":1})", "[1,1]", ""},
      // an item is checked against "items" before it is compared
      {R"({"items":{"type":"string"},"uniqueItems":true})", "[1,1]", R"(rules /0: expected "string")"},
      {R"({"items":{"type":"number"},"uniqueItems":true})", "[1,2,1,\"x\"]", "rules : duplicate item"},
      // a node that is not an object checks nothing
      {"true", "5", ""},
      {"[1]", "{}", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(check(c.schema, c.value), c.expected) << c.schema << " / " << c.value;
}

TEST(SchemaValidator, PathsAreBuiltFromMembersAndIndexes) {
  const char* schema = R"({"properties":{"a":{"items":{"additionalProperties":{"minLength":3}}}}})";
  EXPECT_EQ(check(schema, R"({"a":[{"x":"long"},{"y/z":"ab"}]})"), "rules /a/1/y/z: string too short");
  // The caller's path is the prefix; member names are used verbatim.
  EXPECT_EQ(check(R"({"type":"string"})", "1", "/entities/a b"), R"(rules /entities/a b: expected "string")");
  // The path stack unwinds correctly after valid siblings.
  EXPECT_EQ(check(R"({"additionalProperties":{"additionalProperties":{"type":"number"}}})",
                  R"({"a":{"b":1,"c":2},"d":{"e":"x"}})"),
            R"(rules /d/e: expected "number")");
}

TEST(SchemaValidator, References) {
  struct RefCase {
    const char* schema;
    const char* value;
    const char* expected;
  };
  const RefCase cases[] = {
      {R"({"$defs":{"s":{"type":"string"}},"additionalProperties":{"$ref":"#/$defs/s"}})", R"({"a":1})",
       R"(rules /a: expected "string")"},
      // any number of leading "#" is dropped; the rest is a JSON Pointer
      {R"({"$defs":{"s":{"type":"string"}},"items":{"$ref":"###/$defs/s"}})", "[1]", R"(rules /0: expected "string")"},
      {R"({"$defs":{"s":{"type":"string"}},"items":{"$ref":"/$defs/s"}})", "[1]", R"(rules /0: expected "string")"},
      // "~1" and "~0" unescape; array indexes work
      {R"({"$defs":{"a/b":{"type":"string"},"c~d":[{"type":"number"}]},"properties":{"x":{"$ref":"#/$defs/a~1b"},"y":{"$ref":"#/$defs/c~0d/0"}}})",
       R"({"x":"s","y":"t"})", R"(rules /y: expected "number")"},
      // a reference replaces the node: its other keywords do not apply
      {R"({"$defs":{"any":{}},"items":{"$ref":"#/$defs/any","type":"string"}})", "[1]", ""},
      // chains are followed
      {R"({"$defs":{"a":{"$ref":"#/$defs/b"},"b":{"type":"boolean"}},"items":{"$ref":"#/$defs/a"}})", "[1]",
       R"(rules /0: expected "boolean")"},
      // the empty pointer is the root: recursive schemas
      {R"({"type":"array","items":{"$ref":"#"}})", "[[[]],[[5]]]", R"(rules /1/0/0: expected "array")"},
      // a non-string $ref is ignored
      {R"({"items":{"$ref":5,"type":"string"}})", "[1]", R"(rules /0: expected "string")"},
      // unresolvable references: reported when reached, without a path
      {R"({"items":{"$ref":"#/$defs/missing"}})", "[1]", "invalid schema reference"},
      {R"({"items":{"$ref":"#/$defs/missing"}})", "[]", ""},
      {R"({"$defs":{"a":[1]},"items":{"$ref":"#/$defs/a/01"}})", "[1]", "invalid schema reference"},
      {R"({"$defs":{"a":[1]},"items":{"$ref":"#/$defs/a/1"}})", "[1]", "invalid schema reference"},
      {R"({"$defs":{"a~b":{}},"items":{"$ref":"#/$defs/a~b"}})", "[1]", "invalid schema reference"},
      {R"({"items":{"$ref":"$defs"}})", "[1]", "invalid schema reference"},
      // a reference cycle would never end: it counts as unresolvable
      {R"({"$defs":{"a":{"$ref":"#/$defs/b"},"b":{"$ref":"#/$defs/a"}},"items":{"$ref":"#/$defs/a"}})", "[1]",
       "invalid schema reference"},
      {R"({"$ref":"#"})", "1", "invalid schema reference"},
  };
  for (const RefCase& c : cases) EXPECT_EQ(check(c.schema, c.value), c.expected) << c.schema << " / " << c.value;
}

TEST(SchemaValidator, LongArraysFindTheFirstDuplicate) {
  // Past the pairwise limit duplicates are found by hashing; the verdict and
  // the item that fails must be the same as with pairwise comparison.
  const Value root = J(R"({"uniqueItems":true})");
  Array items;
  for (int i = 0; i < 200; ++i) items.emplace_back(Value(i));
  items.emplace_back(Value(5.0));                          // float 5 differs from integer 5
  items.emplace_back(J(R"({"a":[1,{"b":null}],"c":-0.0})"));
  items.emplace_back(J(R"({"c":0.0,"a":[1,{"b":null}]})"));  // equal: order ignored, -0 == 0
  EXPECT_EQ(validate(Value(items), root, root).error(), "rules : duplicate item");
  items.pop_back();
  EXPECT_TRUE(validate(Value(items), root, root).ok());
  items.emplace_back(Value(-0.0));
  items.emplace_back(Value(0.0));
  EXPECT_FALSE(validate(Value(items), root, root).ok());
  // The first failure in item order wins: an item failing "items" before the
  // duplicate is reported first.
  const Value typed = J(R"({"uniqueItems":true,"items":{"type":"number"}})");
  items.clear();
  for (int i = 0; i < 50; ++i) items.emplace_back(Value(i % 40));
  items.emplace_back(Value("x"));
  EXPECT_EQ(validate(Value(items), typed, typed).error(), "rules : duplicate item");
  items.insert(items.begin() + 30, Value("x"));
  EXPECT_EQ(validate(Value(items), typed, typed).error(), R"(rules /30: expected "number")");
}

TEST(EmbeddedSchema, IdentityAndRequiredOrder) {
  const EmbeddedSchema& s = embedded_schema();
  ASSERT_TRUE(s.parse_error.empty()) << s.parse_error;
  const Value& doc = s.schema->document();
  EXPECT_EQ(doc["$id"].string_or_empty(), "urn:kesvo_interpreter:rule-pack:1");
  EXPECT_EQ(doc["title"].string_or_empty(), "Kesvo portable rule pack version 1");
  EXPECT_EQ(to_json(doc["required"]),
            R"(["version","platforms","entities","unused","templates","functions","quirks","units","host_units",)"
            R"("maps","features","constants","cover_defaults","cover_switches","motion_property","strategies"])");
  for (const char* def : {"entity", "cover", "unused", "function"}) EXPECT_TRUE(doc["$defs"].find(def)) << def;
  EXPECT_EQ(s.required_names.size(), 16u);
  // The relaxed schema accepts an incomplete document but still checks
  // members, through references into the full schema.
  EXPECT_TRUE(validate(J("{}"), s.relaxed).ok());
  EXPECT_EQ(validate(J("{}"), s.full).error(), R"(rules : missing "version")");
  EXPECT_EQ(validate(J(R"({"entities":{"e":{"cover":{}}}})"), s.relaxed).error(),
            R"(rules /entities/e/cover: missing "position")");
}

TEST(EmbeddedSchemaConcurrency, FirstUseFromManyThreads) {
  // Each test runs in its own process, so the schema is first used here.
  std::vector<std::thread> threads;
  std::vector<const EmbeddedSchema*> seen(8, nullptr);
  for (int i = 0; i < 8; ++i) {
    threads.emplace_back([&seen, i] {
      const EmbeddedSchema& s = embedded_schema();
      if (s.full && validate(Value::object(), s.relaxed).ok()) seen[i] = &s;
    });
  }
  for (auto& t : threads) t.join();
  for (const EmbeddedSchema* s : seen) EXPECT_EQ(s, &embedded_schema());
}

}  // namespace
}  // namespace kesvo
