// The built-in functions, as a table of cases, and the function entry
// point used directly.
#include "expr/functions.h"

#include "expr_test_util.h"

namespace kesvo::expr_test {
namespace {

TEST(ExprFunctions, Table) { run_table("functions.jsonl"); }

TEST(ExprFunctions, CallFunctionDirectly) {
  EvalContext ctx;
  Value argv[] = {Value(2), Value(3.5)};
  Args args(argv, 2);
  EXPECT_EQ(outcome(call_function(ctx, "mul", args)), "7");
  EXPECT_EQ(outcome(call_function(ctx, "if", args)), "error: unknown expression op if");
  EXPECT_EQ(outcome(call_function(ctx, "nope", args)), "error: unknown expression op nope");
  EXPECT_TRUE(is_function("hs_to_rgb_hex"));
  EXPECT_FALSE(is_function("map"));
  EXPECT_FALSE(is_function("round_half_even_"));
}

TEST(ExprFunctions, TruncatedUtf8FromCallersIsHandledSafely) {
  // Texts read from requests are valid UTF-8; a caller binding raw bytes
  // must still not make the text functions read past the end.
  for (const char* raw : {"\xC3", "a\xE2\x82", "\xF0\x9F", " \xE2"}) {
    EvalContext ctx;
    ctx.bind("s", Value(raw));
    for (const char* name : {"lower", "capitalize", "trim_start", "trim_end", "len"}) {
      Value expr = J(R"({"op":"x","args":[{"op":"get","path":"s"}]})");
      expr.member("op") = Value(name);
      ExprResult r = evaluate(ctx, expr);
      ASSERT_TRUE(r.ok()) << name;
      EXPECT_TRUE(r.value().is_string() || r.value().is_number()) << name;
    }
    EXPECT_TRUE(evaluate(ctx, J(R"({"op":"replace","args":[{"op":"get","path":"s"},"","-"]})")).ok());
  }
}

}  // namespace
}  // namespace kesvo::expr_test
