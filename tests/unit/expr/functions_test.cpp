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

}  // namespace
}  // namespace kesvo::expr_test
