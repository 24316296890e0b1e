#include <gtest/gtest.h>

#include <string>

#include "core/json_reader.h"
#include "core/json_writer.h"
#include "data/device_info.h"
#include "data/quirk.h"
#include "data/quirk_condition.h"
#include "data/word_map.h"
#include "unit/test_json.h"

namespace kesvo {
namespace {

TEST(QuirkCondition, Table) {
  const Value status = J(R"({"n":150,"low":99,"f":100.0,"s":"150","b":true,"z":0})");
  struct Case {
    const char* condition;
    const char* expected;
  };
  const Case cases[] = {
      {R"({"status":"n"})", "150"},
      {R"({"status":"missing"})", "null"},
      {R"({"status":5})", "null"},
      {R"({"ge":[{"status":"n"},100]})", "true"},
      {R"({"ge":[{"status":"f"},100]})", "true"},
      {R"({"ge":[{"status":"low"},100]})", "false"},
      {R"({"ge":[{"status":"s"},100]})", "false"},
      {R"({"ge":[{"status":"b"},1]})", "true"},
      {R"({"ge":[{"status":"missing"},-1]})", "false"},
      {R"({"ge":[100]})", "false"},
      {R"({"ge":5})", "false"},
      {R"({"is_int":5})", "true"},
      {R"({"is_int":-5})", "true"},
      {R"({"is_int":5.0})", "false"},
      {R"({"is_int":true})", "true"},
      {R"({"is_int":"5"})", "false"},
      {R"({"is_int":{"status":"f"}})", "false"},
      {R"({"and":[]})", "true"},
      {R"({"and":[1,"x",{"status":"z"},{"bogus":1}]})", "false"},
      {R"({"and":[1,"x",{"status":"n"}]})", "true"},
      {R"({"and":{}})", "false"},
      {R"({"or":[]})", "false"},
      {R"({"or":[0,"",{"status":"b"}]})", "true"},
      {R"({"or":"x"})", "false"},
      {R"({"not":"x"})", "false"},
      {R"({"not":{"status":"z"}})", "true"},
      {R"({"not":{"and":[]}})", "false"},
      // Only the first member names the operator.
      {R"({"status":"n","not":true})", "150"},
      {R"({"bogus":1,"status":"n"})", "null"},
      {"{}", "null"},
      {R"([1,{"status":"n"}])", R"([1,{"status":"n"}])"},
      {R"("text")", R"("text")"},
      {"7", "7"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(to_json(eval_quirk_condition(J(c.condition), status)), c.expected) << c.condition;
  }
}

TEST(Quirk, NormaliseMakesTheThreeTablesObjects) {
  struct Case {
    const char* device;
    const char* expected;
  };
  const Case cases[] = {
      {"{}", R"({"function":{},"status_range":{},"status":{}})"},
      {R"({"status":[1],"function":{"a":1},"x":1})", R"({"status":{},"function":{"a":1},"x":1,"status_range":{}})"},
      {R"({"status_range":null})", R"({"status_range":{},"function":{},"status":{}})"},
      {"null", R"({"function":{},"status_range":{},"status":{}})"},
  };
  for (const Case& c : cases) {
    Value device = J(c.device);
    normalize_device(device);
    EXPECT_EQ(to_json(device), c.expected) << c.device;
  }
}

// Applies a quirk to a normalised device and shows device and dpmap.
std::string quirked(const char* device_text, const char* dpmap_text, const char* quirk_text) {
  Value device = J(device_text);
  normalize_device(device);
  Value dpmap = J(dpmap_text);
  Status s = apply_quirk(device, dpmap, J(quirk_text));
  if (!s.ok()) return "error: " + s.error().message;
  return to_json(device) + " " + to_json(dpmap);
}

TEST(Quirk, DefineDpModes) {
  const char* device = R"({"function":{"a":{"type":"Boolean"},"x":{},"z":{}},"status_range":{"x":{"type":"Enum"},"y":{}}})";
  struct Case {
    const char* op;
    const char* expected;
  };
  const Case cases[] = {
      {R"({"op":"DefineDp","code":"x","mode":"RW","type":"Integer","values":{"max":9},"report_type":"t","dpid":7})",
       R"({"function":{"a":{"type":"Boolean"},"x":{"type":"Integer","values":{"max":9}},"z":{}},"status_range":{"x":{"type":"Integer","values":{"max":9},"report_type":"t"},"y":{}},"status":{}} {"1":"a","7":"x"})"},
      // "R" removes the writable description (the last member moves into its place).
      {R"({"op":"DefineDp","code":"x","mode":"R","type":"Enum","dpid":"7"})",
       R"({"function":{"a":{"type":"Boolean"},"z":{}},"status_range":{"x":{"type":"Enum","values":null,"report_type":null},"y":{}},"status":{}} {"1":"a","7":"x"})"},
      {R"({"op":"DefineDp","code":"x","mode":"W","type":"Enum","dpid":"7"})",
       R"({"function":{"a":{"type":"Boolean"},"x":{"type":"Enum","values":null},"z":{}},"status_range":{"y":{}},"status":{}} {"1":"a","7":"x"})"},
      // Mode "" withdraws the DP from both tables and still maps the dpid.
      {R"({"op":"DefineDp","code":"x","mode":"","dpid":7})",
       R"({"function":{"a":{"type":"Boolean"},"z":{}},"status_range":{"y":{}},"status":{}} {"1":"a","7":"x"})"},
      {R"({"op":"DefineDp","code":"x","mode":5,"dpid":7})",
       R"({"function":{"a":{"type":"Boolean"},"z":{}},"status_range":{"y":{}},"status":{}} {"1":"a","7":"x"})"},
      // A new DP goes to the end; an absent dpid maps the key "null"; the mode is case-sensitive.
      {R"({"op":"DefineDp","code":"n","mode":"rw"})",
       R"({"function":{"a":{"type":"Boolean"},"x":{},"z":{}},"status_range":{"x":{"type":"Enum"},"y":{}},"status":{}} {"1":"a","null":"n"})"},
      {R"({"op":"DefineDp","code":"n","mode":"WR","dpid":[1,"2"]})",
       R"({"function":{"a":{"type":"Boolean"},"x":{},"z":{},"n":{"type":null,"values":null}},"status_range":{"x":{"type":"Enum"},"y":{},"n":{"type":null,"values":null,"report_type":null}},"status":{}} {"1":"a","[1,\"2\"]":"n"})"},
      // Remapping an existing dpid replaces the code in place.
      {R"({"op":"DefineDp","code":"b","mode":"","dpid":1})",
       R"({"function":{"a":{"type":"Boolean"},"x":{},"z":{}},"status_range":{"x":{"type":"Enum"},"y":{}},"status":{}} {"1":"b"})"},
  };
  for (const Case& c : cases) {
    const std::string quirk = std::string(R"({"ops":[)") + c.op + "]}";
    EXPECT_EQ(quirked(device, R"({"1":"a"})", quirk.c_str()), c.expected) << c.op;
  }
}

TEST(Quirk, RemoveDpSetCategoryTypeOverride) {
  const char* device =
      R"({"function":{"a":1,"b":2,"c":3},"status_range":{"b":2},"status":{"b":true,"c":1},"category":"kg"})";
  struct Case {
    const char* ops;
    const char* expected;
  };
  const Case cases[] = {
      {R"([{"op":"RemoveDp","code":"a","dpid":"7"}])",
       R"({"function":{"c":3,"b":2},"status_range":{"b":2},"status":{"b":true,"c":1},"category":"kg"} {"8":"b"})"},
      {R"([{"op":"RemoveDp","code":"b","dpid":8}])",
       R"({"function":{"a":1,"c":3},"status_range":{},"status":{"c":1},"category":"kg"} {"7":"a"})"},
      {R"([{"op":"RemoveDp","code":"zz"}])",
       R"({"function":{"a":1,"b":2,"c":3},"status_range":{"b":2},"status":{"b":true,"c":1},"category":"kg"} {"7":"a","8":"b"})"},
      {R"([{"op":"DefineDp","code":"d","mode":"","dpid":7},{"op":"RemoveDp","code":"d","dpid":"7"}])",
       R"({"function":{"a":1,"b":2,"c":3},"status_range":{"b":2},"status":{"b":true,"c":1},"category":"kg"} {"8":"b"})"},
      {R"([{"op":"SetCategory","category":"cl"}])",
       R"({"function":{"a":1,"b":2,"c":3},"status_range":{"b":2},"status":{"b":true,"c":1},"category":"cl"} {"7":"a","8":"b"})"},
      {R"([{"op":"SetCategory"}])",
       R"({"function":{"a":1,"b":2,"c":3},"status_range":{"b":2},"status":{"b":true,"c":1},"category":null} {"7":"a","8":"b"})"},
      {R"([{"op":"TypeOverride","code":"a","as":"Enum"},{"op":"TypeOverride","code":"b","as":{"x":1}},{"op":"TypeOverride","code":"a","as":null}])",
       R"({"function":{"a":1,"b":2,"c":3},"status_range":{"b":2},"status":{"b":true,"c":1},"category":"kg","type_overrides":{"a":null,"b":{"x":1}}} {"7":"a","8":"b"})"},
      {R"([{"op":"TypeOverride","code":5,"as":1}])",
       R"({"function":{"a":1,"b":2,"c":3},"status_range":{"b":2},"status":{"b":true,"c":1},"category":"kg","type_overrides":{"":1}} {"7":"a","8":"b"})"},
      // Unknown, mistyped and status-only operations do nothing.
      {R"([{"op":"Nope","code":"a"},{"op":5},7,null,{"op":"MapInitialStatus","code":"c","mapping":[[1,2]]}])",
       R"({"function":{"a":1,"b":2,"c":3},"status_range":{"b":2},"status":{"b":true,"c":1},"category":"kg"} {"7":"a","8":"b"})"},
  };
  for (const Case& c : cases) {
    const std::string quirk = std::string(R"({"ops":)") + c.ops + "}";
    EXPECT_EQ(quirked(device, R"({"7":"a","8":"b"})", quirk.c_str()), c.expected) << c.ops;
  }
}

TEST(Quirk, WhenConditionsGateOperationsAgainstTheCurrentStatus) {
  const char* device = R"({"status":{"n":150,"s":"150"}})";
  struct Case {
    const char* ops;
    const char* expected_category;
  };
  const Case cases[] = {
      {R"([{"op":"SetCategory","category":"hit","when":{"ge":[{"status":"n"},100]}}])", "\"hit\""},
      {R"([{"op":"SetCategory","category":"hit","when":{"ge":[{"status":"s"},100]}}])", "null"},
      {R"([{"op":"SetCategory","category":"hit","when":null}])", "null"},
      {R"([{"op":"SetCategory","category":"hit","when":"yes"}])", "\"hit\""},
      {R"([{"op":"SetCategory","category":"hit","when":{}}])", "null"},
      // A RemoveDp takes the status value away before the next condition reads it.
      {R"([{"op":"RemoveDp","code":"n"},{"op":"SetCategory","category":"hit","when":{"status":"n"}}])", "null"},
  };
  for (const Case& c : cases) {
    Value d = J(device);
    normalize_device(d);
    Value dpmap = Value::object();
    ASSERT_TRUE(apply_quirk(d, dpmap, J(std::string(R"({"ops":)") + c.ops + "}")).ok());
    EXPECT_EQ(to_json(d["category"]), c.expected_category) << c.ops;
  }
}

TEST(Quirk, NothingToApplyLeavesEverythingAlone) {
  for (const char* quirk : {"null", "{}", R"({"ops":{}})", R"({"ops":[]})", "[1]"}) {
    EXPECT_EQ(quirked(R"({"x":1})", "{}", quirk), R"({"x":1,"function":{},"status_range":{},"status":{}} {})") << quirk;
  }
}

TEST(Quirk, MembersThatMustBeObjectsAreRefused) {
  struct Case {
    const char* device;
    const char* dpmap;
    const char* ops;
    const char* message;
  };
  const Case cases[] = {
      {R"({"type_overrides":[1]})", "{}", R"([{"op":"TypeOverride","code":"a","as":1}])", "type_overrides must be an object"},
      {R"({"type_overrides":"x"})", "{}", R"([{"op":"TypeOverride","code":"a","as":1}])", "type_overrides must be an object"},
      {"{}", "[]", R"([{"op":"SetCategory"}])", "dpmap must be an object"},
      {"5", "{}", R"([{"op":"SetCategory"}])", "device must be an object"},
      {R"({"function":7})", "{}", R"([{"op":"DefineDp","code":"a","mode":"W"}])", "function must be an object"},
  };
  for (const Case& c : cases) {
    Value device = J(c.device);
    Value dpmap = J(c.dpmap);
    Status s = apply_quirk(device, dpmap, J(std::string(R"({"ops":)") + c.ops + "}"));
    ASSERT_FALSE(s.ok()) << c.device;
    EXPECT_EQ(s.error().kind, ErrorKind::Invalid);
    EXPECT_EQ(s.error().message, c.message);
  }
  // Absent or null tables are created when written.
  Value device = J(R"({"type_overrides":null})");
  Value dpmap;
  ASSERT_TRUE(apply_quirk(device, dpmap,
                          J(R"({"ops":[{"op":"TypeOverride","code":"a","as":1},{"op":"DefineDp","code":"a","mode":"R","dpid":1}]})"))
                  .ok());
  EXPECT_EQ(to_json(device), R"({"type_overrides":{"a":1},"status_range":{"a":{"type":null,"values":null,"report_type":null}}})");
  EXPECT_EQ(to_json(dpmap), R"({"1":"a"})");
}

TEST(Quirk, StatusQuirkTable) {
  struct Case {
    const char* status;
    const char* ops;
    const char* expected;
  };
  const Case cases[] = {
      // true loosely equals 1, and the first match wins.
      {R"({"c":true})", R"([{"op":"MapInitialStatus","code":"c","mapping":[[1,"open"],[true,"closed"]]}])", R"({"c":"open"})"},
      {R"({"c":"x"})", R"([{"op":"MapInitialStatus","code":"c","mapping":[[1,"open"],["x",{"y":[1]}]]}])", R"({"c":{"y":[1]}})"},
      {R"({"c":2})", R"([{"op":"MapInitialStatus","code":"c","mapping":[[1,"open"]]}])", R"({"c":2})"},
      // An absent value is null; a short or non-array pair reads as [null, null].
      {R"({"a":1})", R"([{"op":"MapInitialStatus","code":"c","mapping":[[null,"off"]]}])", R"({"a":1,"c":"off"})"},
      {R"({"c":null})", R"([{"op":"MapInitialStatus","code":"c","mapping":[5,[]]}])", R"({"c":null})"},
      {R"({"c":1})", R"([{"op":"MapInitialStatus","code":"c","mapping":[[1]]}])", R"({"c":null})"},
      // A later operation sees the earlier one's result; conditions are ignored here.
      {R"({"c":1})",
       R"([{"op":"MapInitialStatus","code":"c","mapping":[[1,2]]},{"op":"MapInitialStatus","code":"c","mapping":[[2,3]],"when":false}])",
       R"({"c":3})"},
      {R"({"c":1})", R"([{"op":"DefineDp","code":"c"},{"op":"MapInitialStatus","code":"c","mapping":{"1":2}}])", R"({"c":1})"},
      {"[1]", R"([{"op":"MapInitialStatus","code":"c","mapping":[[null,2]]}])", "[1]"},
  };
  for (const Case& c : cases) {
    Value status = J(c.status);
    apply_status_quirk(status, J(std::string(R"({"ops":)") + c.ops + "}"));
    EXPECT_EQ(to_json(status), c.expected) << c.ops;
  }
}

TEST(DeviceInfo, MetaOrRulesAndDevice) {
  const Value device = J(R"({"product_name":"Lamp","product_id":"p1"})");
  const Value rules = J(R"({"constants":{"manufacturer":"Acme"}})");
  struct Case {
    const char* quirk;
    const char* expected;
  };
  const Case cases[] = {
      {R"({"meta":{"manufacturer":"M","model":"X1"}})", R"({"manufacturer":"M","model":"X1","model_id":null})"},
      {R"({"meta":{"manufacturer":"","model":"X1","model_id":"i"}})",
       R"({"manufacturer":"Acme","model":"Lamp","model_id":"p1"})"},
      {"null", R"({"manufacturer":"Acme","model":"Lamp","model_id":"p1"})"},
      {R"({"meta":"x"})", R"({"manufacturer":"Acme","model":"Lamp","model_id":"p1"})"},
  };
  for (const Case& c : cases) EXPECT_EQ(to_json(device_info(device, J(c.quirk), rules)), c.expected) << c.quirk;
  EXPECT_EQ(to_json(device_info(Value(), Value(), Value())), R"({"manufacturer":null,"model":null,"model_id":null})");
}

TEST(WordMap, ChoosesTheFirstMapWhoseWordsTheRangeHolds) {
  const Value rules = J(R"({"maps":{"A":{"open":"on","close":"off"},"B":{"open":"open","close":"close","stop":"stop"}}})");
  const Role enum_role{"c", DpKind::Enum, J(R"({"range":["open","close","stop"]})"), Value()};
  const Role bool_role{"c", DpKind::Boolean, Value(), Value()};
  struct Case {
    const Role* role;
    const char* names;
    const char* expected;
  };
  const Case cases[] = {
      {&bool_role, R"(["A"])", R"({"open":true,"close":false,"stop":{"never":true}})"},
      {&enum_role, R"(["A","B"])", R"({"open":"open","close":"close","stop":"stop"})"},
      {&enum_role, R"("B")", R"({"open":"open","close":"close","stop":"stop"})"},
      {&enum_role, R"([5,"A"])", R"({"open":"on","close":"off"})"},
      {&enum_role, R"(["missing","A"])", "null"},
      {&enum_role, "[]", "null"},
      {&enum_role, "7", "null"},
  };
  for (const Case& c : cases) EXPECT_EQ(to_json(word_map(*c.role, J(c.names), rules)), c.expected) << c.names;
}

}  // namespace
}  // namespace kesvo
