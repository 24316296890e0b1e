// The patch language of rule-pack layers: replacement, recursive merge and
// the two markers, with member order checked through the written text.
#include <gtest/gtest.h>

#include <string>

#include "core/json_reader.h"
#include "core/json_writer.h"
#include "rules/layering.h"
#include "unit/test_json.h"

namespace kesvo {
namespace {

TEST(ApplyLayer, PatchTable) {
  const struct {
    const char* target;
    const char* patch;
    const char* expected;
  } cases[] = {
      // replacement and recursive merge; new members go to the end
      {R"({"a":1,"b":2})", R"({"a":3,"c":4})", R"({"a":3,"b":2,"c":4})"},
      {R"({"a":{"x":1,"y":2}})", R"({"a":{"y":3,"z":4}})", R"({"a":{"x":1,"y":3,"z":4}})"},
      {R"({"a":[1,2]})", R"({"a":[3]})", R"({"a":[3]})"},
      {R"({"a":5})", R"({"a":{"x":1}})", R"({"a":{"x":1}})"},
      {"5", R"({"a":1})", R"({"a":1})"},
      {R"({"a":1})", "[1]", "[1]"},
      // null replaces; it does not delete
      {R"({"a":1,"b":2})", R"({"a":null})", R"({"a":null,"b":2})"},
      // $delete: the last member moves into the gap
      {R"({"a":1,"lamp":2,"c":3,"d":4})", R"({"lamp":{"$delete":true}})", R"({"a":1,"d":4,"c":3})"},
      {R"({"a":1,"b":2})", R"({"b":{"$delete":true}})", R"({"a":1})"},
      {R"({"a":1})", R"({"zz":{"$delete":true}})", R"({"a":1})"},
      {R"({"e":{"lamp":{},"fan":{},"tv":{}}})", R"({"e":{"lamp":{"$delete":true}}})", R"({"e":{"tv":{},"fan":{}}})"},
      // only the boolean true deletes; anything else merges as a plain object
      {R"({"a":{"x":1}})", R"({"a":{"$delete":false}})", R"({"a":{"x":1,"$delete":false}})"},
      {R"({"a":1})", R"({"a":{"$delete":1}})", R"({"a":{"$delete":1}})"},
      {R"({"a":1})", R"({"a":{"$delete":"true"}})", R"({"a":{"$delete":"true"}})"},
      {R"({"a":1})", R"({"a":{"$delete":true,"b":1}})", R"({"a":{"$delete":true,"b":1}})"},
      // $append: onto an array, or setting a copy in place / at the end
      {R"({"s":["a"]})", R"({"s":{"$append":["x","y"]}})", R"({"s":["a","x","y"]})"},
      {R"({"t":1})", R"({"s":{"$append":["x"]}})", R"({"t":1,"s":["x"]})"},
      {R"({"s":{"k":1},"t":1})", R"({"s":{"$append":[1]}})", R"({"s":[1],"t":1})"},
      {R"({"s":[1]})", R"({"s":{"$append":[]}})", R"({"s":[1]})"},
      {R"({"s":[1]})", R"({"s":{"$append":[[2],{"$delete":true}]}})", R"({"s":[1,[2],{"$delete":true}]})"},
      // two members or a non-array value: no marker
      {R"({})", R"({"a":{"$append":[1],"b":2}})", R"({"a":{"$append":[1],"b":2}})"},
      {R"({"a":[1]})", R"({"a":{"$append":5}})", R"({"a":{"$append":5}})"},
      // markers work at any depth, also inside members the patch creates
      {R"({"a":{"b":{"c":[1],"d":1}}})", R"({"a":{"b":{"c":{"$append":[2]},"d":{"$delete":true}}}})",
       R"({"a":{"b":{"c":[1,2]}}})"},
      {R"({})", R"({"a":{"b":{"$delete":true},"c":{"$append":[1]}}})", R"({"a":{"c":[1]}})"},
      // patch members apply in the patch's order
      {R"({"a":1,"b":2})", R"({"a":{"$delete":true},"a2":3})", R"({"b":2,"a2":3})"},
  };
  for (const auto& c : cases) {
    Value target = J(c.target);
    apply_layer(target, J(c.patch));
    EXPECT_EQ(to_json(target), c.expected) << c.target << " + " << c.patch;
  }
}

TEST(ApplyLayer, CopiesFromThePatch) {
  // The target owns its values: changing the patch later changes nothing.
  Value patch = J(R"({"a":{"$append":[{"k":1}]},"b":{"c":[1]}})");
  Value target = Value::object();
  apply_layer(target, patch);
  patch.member("b").member("c") = Value(5);
  patch.member("a").member("$append") = Value(0);
  EXPECT_EQ(to_json(target), R"({"a":[{"k":1}],"b":{"c":[1]}})");
}

}  // namespace
}  // namespace kesvo
