#include <gtest/gtest.h>

#include <string>

#include "adapter/adapter.h"
#include "core/json_reader.h"
#include "core/json_writer.h"
#include "unit/test_json.h"

namespace kesvo {
namespace {

Adapter adapter(std::string_view text) {
  auto r = adapter_from_json(J(text));
  EXPECT_TRUE(r.ok()) << (r.ok() ? "" : r.error());
  return r.ok() ? std::move(r).value() : Adapter{};
}

TEST(Adapter, JsonFormRoundTripsInMemberOrder) {
  const std::string text =
      R"({"entries":{"2":["b","enum",{"x":1}],"1":["a","default",null]},"enum_ranges":{"b":["x","y"],"c":null},)"
      R"("unsupported":{"2":"nope"},"remaps":{"a":{"invert":true,"bounds":[0,10]}}})";
  const Adapter a = adapter(text);
  EXPECT_EQ(to_json(adapter_to_json(a)), text);
  Adapter moved = a;
  EXPECT_EQ(to_json(adapter_to_json(std::move(moved))), text);
  // Members in another order are read; the written form has the fixed order.
  const Adapter reordered =
      adapter(R"({"remaps":{},"unsupported":{},"enum_ranges":{},"entries":{"1":["a","default",{}]}})");
  EXPECT_EQ(to_json(adapter_to_json(reordered)),
            R"({"entries":{"1":["a","default",{}]},"enum_ranges":{},"unsupported":{},"remaps":{}})");
}

TEST(Adapter, EntryTablesAreCheckedOnTheirOwn) {
  const Value good = J(R"({"1":["a","default",{}],"2":["","x",[1]]})");
  auto view = entries_view_from_json(good);
  ASSERT_TRUE(view.ok());
  EXPECT_EQ(view.value(), &good.as_object());
  auto copy = entries_from_json(good);
  ASSERT_TRUE(copy.ok());
  EXPECT_EQ(copy.value().size(), 2u);

  struct Case {
    std::string_view json;
    std::string_view message;
  };
  const Case cases[] = {
      {"null", "expected an object, found null"},
      {"[]", "expected an object, found an array"},
      {R"({"1":{}})", R"(entry "1": expected an array [code, strategy, config], found an object)"},
      {R"({"1":[]})", R"(entry "1": expected an array [code, strategy, config], found an array of 0 elements)"},
      {R"({"a\"b":["a",1,{}]})", R"(entry "a\"b": strategy must be a string)"},
      {R"({"1":[null,"x",{}]})", R"(entry "1": code must be a string)"},
  };
  for (const Case& c : cases) {
    auto r = entries_from_json(J(c.json));
    ASSERT_FALSE(r.ok()) << c.json;
    EXPECT_EQ(r.error(), c.message);
  }
}

TEST(AdapterWrite, FailsForCodesWithoutEntriesAndForEmptyResults) {
  const Adapter a = adapter(R"({"entries":{"1":["a","default",{}],"2":["b","hb_range_v1",{}]},)"
                            R"("enum_ranges":{},"unsupported":{},"remaps":{}})");
  struct Case {
    std::string_view commands;
    ErrorKind kind;
    std::string_view message;
  };
  const Case cases[] = {
      {"[]", ErrorKind::Unsupported, "no dp for command"},
      {"null", ErrorKind::Unsupported, "no dp for command"},
      {R"([{"code":"a","value":1},{"code":"x"},{"code":"b","value":1}])", ErrorKind::Unsupported, "no dp for x"},
      {R"([{"value":1}])", ErrorKind::Unsupported, "no dp for "},
      {R"([{"code":"b","value":1},{"code":"x"}])", ErrorKind::Unsupported,
       "this dp's value conversion has no inverse"},
  };
  for (const Case& c : cases) {
    auto r = adapter_write(view(a), J(c.commands));
    ASSERT_FALSE(r.ok()) << c.commands;
    EXPECT_EQ(r.error().kind, c.kind) << c.commands;
    EXPECT_EQ(r.error().message, c.message) << c.commands;
  }
  auto ok = adapter_write(view(a), J(R"([{"code":"a","value":[1]}])"));
  ASSERT_TRUE(ok.ok());
  EXPECT_EQ(to_json(ok.value()), R"({"1":[1]})");
}

TEST(AdapterReadWrite, InvertWithinBoundsInBothDirections) {
  const Adapter a = adapter(R"({"entries":{"5":["c","default",{}]},"enum_ranges":{},"unsupported":{},)"
                            R"("remaps":{"c":{"invert":true,"bounds":[0,100]}}})");
  EXPECT_EQ(to_json(adapter_read(view(a), J(R"({"5":30})"), Value::object())), R"({"c":70})");
  auto w = adapter_write(view(a), J(R"([{"code":"c","value":70}])"));
  ASSERT_TRUE(w.ok());
  EXPECT_EQ(to_json(w.value()), R"({"5":30})");
}

TEST(RemapInvert, AppliesOnlyWithATruthyInvert) {
  struct Case {
    std::string_view remap;
    std::string_view value;
    std::string_view result;
  };
  const Case cases[] = {
      {R"({"invert":true,"bounds":[0,100]})", "30", "70"},
      {R"({"invert":true,"bounds":[0,100]})", "30.5", "69.5"},
      {R"({"invert":true,"bounds":[0,100]})", "true", "false"},
      {R"({"invert":true,"bounds":[0,100]})", R"("30")", R"("30")"},
      {R"({"invert":true,"bounds":["10",null]})", "4", "6"},
      {R"({"invert":true,"bounds":[]})", "4", "-4"},
      {R"({"invert":true,"bounds":[1.5,2]})", "1", "2.5"},
      {R"({"invert":true,"bounds":{"0":1}})", "4", "4"},
      {R"({"invert":true})", "4", "4"},
      {R"({"invert":"yes"})", "false", "true"},
      {R"({"invert":0,"bounds":[0,100]})", "30", "30"},
      {R"({"invert":false})", "true", "true"},
      {"null", "true", "true"},
      {R"({"invert":true,"bounds":[0,1e308]})", "-1e308", "null"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(to_json(remap_invert(J(c.remap), J(c.value))), c.result) << c.remap << " " << c.value;
  }
}

TEST(SetRemapBounds, RecordsTheRawRangeOfIntegerDps) {
  const Value device = J(R"({
    "status_range": {"t": {"type": "value", "values": "{\"min\": 5, \"max\": \"50\"}"},
                     "e": {"type": "Enum", "values": {"min": 1, "max": 2}},
                     "n": {"type": "Integer"},
                     "z": null},
    "function": {"t": {"type": "Integer", "values": {"min": 0, "max": 1}},
                 "w": {"type": "Integer", "values": {"max": 9}},
                 "z": {"type": "Integer", "values": {"min": 0, "max": 1}}}
  })");
  Adapter a = adapter(R"({"entries":{},"enum_ranges":{},"unsupported":{},"remaps":{"t":{"invert":true}}})");
  for (std::string_view code : {"t", "e", "n", "w", "z", "missing"}) set_remap_bounds(a, code, device);
  // "status_range" wins over "function"; an existing remap keeps its members;
  // Enum DPs, DPs described as null and unknown codes change nothing.
  EXPECT_EQ(to_json(Value(a.remaps)),
            R"({"t":{"invert":true,"bounds":[5,"50"]},"n":{"bounds":[null,null]},"w":{"bounds":[null,9]}})");
  set_remap_bounds(a, "t", Value());
  EXPECT_EQ(a.remaps.size(), 3u);
}

}  // namespace
}  // namespace kesvo
