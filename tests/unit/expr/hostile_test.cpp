// Hostile rule-pack expressions end with their limit error, quickly and in
// bounded memory.
#include "expr_test_util.h"

namespace kesvo::expr_test {
namespace {

TEST(ExprHostile, Table) { run_table("hostile.jsonl"); }

TEST(ExprHostile, ExponentialCalls) {
  // g0 = "and" without arguments, gk = "and" of two calls of g(k-1): a call
  // of g25 would take 2^27 operations, none of them a literal.
  Value functions = J(R"({"g0":{"body":{"op":"and"}}})");
  for (int k = 1; k <= 25; ++k) {
    const std::string prev = "g" + std::to_string(k - 1);
    const std::string call = R"({"op":"call","fn":")" + prev + R"("})";
    functions.member("g" + std::to_string(k)) = J(R"({"body":{"op":"and","args":[)" + call + "," + call + "]}}");
  }
  EXPECT_EQ(eval_text(J(R"({"op":"call","fn":"g25"})"), Value(), functions), "error: rule evaluation limit exceeded");
}

TEST(ExprHostile, ProgramsThatLoop) {
  const Value rules = J(R"({"templates":{"again":[{"let":"n","value":{"op":"add","args":[{"op":"get","path":"n","default":0},1]}},{"$use":"again"}],
                                          "wide":[{"$use":"w2"},{"$use":"w2"},{"$use":"w2"},{"$use":"w2"},{"$use":"w2"},{"$use":"w2"},{"$use":"w2"},{"$use":"w2"},{"$use":"w2"},{"$use":"w2"}],
                                          "w2":[{"$use":"w3"},{"$use":"w3"},{"$use":"w3"},{"$use":"w3"},{"$use":"w3"},{"$use":"w3"},{"$use":"w3"},{"$use":"w3"},{"$use":"w3"},{"$use":"w3"}],
                                          "w3":[{"$use":"w4"},{"$use":"w4"},{"$use":"w4"},{"$use":"w4"},{"$use":"w4"},{"$use":"w4"},{"$use":"w4"},{"$use":"w4"},{"$use":"w4"},{"$use":"w4"}],
                                          "w4":[{"$use":"w5"},{"$use":"w5"},{"$use":"w5"},{"$use":"w5"},{"$use":"w5"},{"$use":"w5"},{"$use":"w5"},{"$use":"w5"},{"$use":"w5"},{"$use":"w5"}],
                                          "w5":[{"x":1}]}})");
  auto run = [&](std::string_view program) {
    EvalContext ctx;
    ctx.bind_ref("rules", rules);
    FlowResult r = run_program(ctx, J(program), [](EvalContext&, const Value&) -> FlowResult {
      return ProgramFlow::Continue;
    });
    return r.ok() ? std::string("ok") : r.error();
  };
  EXPECT_EQ(run(R"([{"$use":"again"}])"), "rule nesting limit exceeded");
  EXPECT_EQ(run(R"([{"$use":"wide"}])"), "rule instruction limit exceeded");
}

}  // namespace
}  // namespace kesvo::expr_test
