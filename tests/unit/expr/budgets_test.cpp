// The evaluation budgets and value limits, each at its exact boundary.
#include <string>

#include "expr_test_util.h"

namespace kesvo::expr_test {
namespace {

Value op(std::string_view name, Array args) {
  Value v = Value::object();
  v.member("op") = Value(name);
  v.member("args") = Value(std::move(args));
  return v;
}

Value op0(std::string_view name) {
  Value v = Value::object();
  v.member("op") = Value(name);
  return v;
}

Value call(std::string_view fn) {
  Value v = op0("call");
  v.member("fn") = Value(fn);
  return v;
}

// An expression that evaluates exactly `n` operations (n >= 1), each of
// which produces a one-node result, and no literal: an "and" over calls of
// functions f0..f5, where a call of fk costs 2, 22, 222, ... operations.
struct OpsExpression {
  Value functions = Value::object();
  Value expr;
};

OpsExpression ops_expression(uint64_t n) {
  OpsExpression out;
  uint64_t cost[6];
  for (int k = 0; k < 6; ++k) {
    Array body_args;
    if (k > 0) {
      for (int i = 0; i < 10; ++i) body_args.push_back(call("f" + std::to_string(k - 1)));
    }
    Value def = Value::object();
    def.member("body") = k == 0 ? op0("and") : op("and", std::move(body_args));
    out.functions.member("f" + std::to_string(k)) = std::move(def);
    cost[k] = k == 0 ? 2 : 1 + (1 + 10 * cost[k - 1]);
  }
  uint64_t rest = n - 1;  // the top-level "and"
  Array args;
  for (int k = 5; k >= 0; --k) {
    while (rest >= cost[k]) {
      args.push_back(call("f" + std::to_string(k)));
      rest -= cost[k];
    }
  }
  while (rest-- > 0) args.push_back(op0("and"));
  out.expr = op("and", std::move(args));
  return out;
}

TEST(ExprBudgets, MillionOperationsAndNotOneMore) {
  {
    OpsExpression e = ops_expression(1'000'000);
    EvalContext ctx(&e.functions);
    EXPECT_EQ(outcome(evaluate(ctx, e.expr)), "true");
    EXPECT_EQ(ctx.steps, 0u);
    EXPECT_EQ(ctx.alloc_nodes, 0u);  // every operation charged exactly one node
    EXPECT_EQ(ctx.depth, 0u);
  }
  {
    OpsExpression e = ops_expression(1'000'001);
    EvalContext ctx(&e.functions);
    EXPECT_EQ(outcome(evaluate(ctx, e.expr)), "error: rule evaluation limit exceeded");
  }
}

TEST(ExprBudgets, LiteralsConsumeNoSteps) {
  EvalContext ctx;
  ctx.steps = 1;
  EXPECT_EQ(outcome(evaluate(ctx, J(R"({"op":"list","args":[1,[2,{"op":"x"}],"s"]})"))), R"([1,[2,{"op":"x"}],"s"])");
  EXPECT_EQ(outcome(evaluate(ctx, J("[1,2]"))), "[1,2]");
  EXPECT_EQ(outcome(evaluate(ctx, J(R"({"op":"and"})"))), "error: rule evaluation limit exceeded");
}

TEST(ExprBudgets, BudgetsAreSharedByEvaluationsOfOneContext) {
  OpsExpression e = ops_expression(600'000);
  EvalContext ctx(&e.functions);
  EXPECT_EQ(outcome(evaluate(ctx, e.expr)), "true");
  EXPECT_EQ(ctx.steps, 400'000u);
  EXPECT_EQ(outcome(evaluate(ctx, e.expr)), "error: rule evaluation limit exceeded");
}

Value nested_ops(int k) {
  Value e(true);
  for (int i = 0; i < k; ++i) e = op("not", Array{Value(std::move(e))});
  return e;
}

TEST(ExprBudgets, OperationNesting) {
  EXPECT_EQ(eval_text(nested_ops(64)), "true");
  EXPECT_EQ(eval_text(nested_ops(65)), "error: rule nesting limit exceeded");
  // Unbounded recursion through "call" stops at the nesting limit.
  const Value functions = J(R"({"f":{"params":["n"],"body":{"op":"call","fn":"f","args":[{"op":"get","path":"n"}]}}})");
  EXPECT_EQ(eval_text(J(R"({"op":"call","fn":"f","args":[1]})"), Value(), functions),
            "error: rule nesting limit exceeded");
}

// `k` arrays around `inner`: the innermost array lies k - 1 levels below the
// top, its element k levels.
Value nested_arrays(int k, Value inner) {
  Value v = std::move(inner);
  for (int i = 0; i < k; ++i) {
    Array a;
    if (!(i == 0 && v.is_null())) a.push_back(std::move(v));
    v = Value(std::move(a));
  }
  return v;
}

Value nested_objects(int k) {
  Value v(1);
  for (int i = 0; i < k; ++i) {
    Value o = Value::object();
    o.member("k") = std::move(v);
    v = std::move(o);
  }
  return v;
}

TEST(ExprBudgets, ValueNesting) {
  EXPECT_EQ(eval_text(nested_arrays(63, Value(1))).substr(0, 4), "[[[[");
  EXPECT_EQ(eval_text(nested_arrays(64, Value(1))), "error: rule nesting limit exceeded");
  EXPECT_EQ(eval_text(nested_arrays(64, Value())).substr(0, 4), "[[[[");  // innermost [] at level 63
  EXPECT_EQ(eval_text(nested_arrays(65, Value())), "error: rule nesting limit exceeded");
  EXPECT_EQ(eval_text(nested_objects(63)).substr(0, 6), "{\"k\":{");
  EXPECT_EQ(eval_text(nested_objects(64)), "error: rule nesting limit exceeded");
  // Operation results are checked as well: a literal array wrapped by "list".
  EXPECT_EQ(eval_text(op("list", Array{nested_arrays(62, Value(1))})).substr(0, 4), "[[[[");
  EXPECT_EQ(eval_text(op("list", Array{nested_arrays(63, Value(1))})), "error: rule nesting limit exceeded");
}

TEST(ExprBudgets, ValueNodeAndTextLimits) {
  Array elems(99'999, Value(0));
  EXPECT_EQ(eval_text(Value(elems)).size(), 2 + 99'999 * 2 - 1);  // 100,000 nodes
  elems.push_back(Value(0));
  EXPECT_EQ(eval_text(Value(elems)), "error: rule value size limit exceeded");

  Object members;
  for (int i = 0; i < 99'999; ++i) members.append_new(std::to_string(i), Value());
  EXPECT_NE(eval_text(Value(members)).rfind("error", 0), 0u);
  members.append_new("last", Value());
  EXPECT_EQ(eval_text(Value(members)), "error: rule value size limit exceeded");

  const std::string mib(1'048'576, 'x');
  EXPECT_EQ(eval_text(Value(mib)).size(), mib.size() + 2);
  EXPECT_EQ(eval_text(Value(mib + "x")), "error: rule text size limit exceeded");
  // Member keys count as text, and all strings of a value add up.
  Object keyed;
  keyed.append_new(std::string(1'048'575, 'k'), Value("v"));
  EXPECT_NE(eval_text(Value(keyed)).rfind("error", 0), 0u);
  keyed.append_new("", Value(""));
  EXPECT_NE(eval_text(Value(keyed)).rfind("error", 0), 0u);
  keyed.append_new("x", Value());
  EXPECT_EQ(eval_text(Value(keyed)), "error: rule text size limit exceeded");
  EXPECT_EQ(eval_text(Value(Array{Value(std::string(600'000, 'a')), Value(std::string(600'000, 'b'))})),
            "error: rule text size limit exceeded");
}

TEST(ExprBudgets, AllocationNodeBudget) {
  // Each "range" charges its literal argument (1 node) and its result
  // (m + 1 nodes); the "and" charges 1 more.
  auto ranges = [](uint64_t last) {
    Array args;
    for (int i = 0; i < 9; ++i) args.push_back(op("range", Array{Value(99'999)}));
    args.push_back(op("range", Array{Value(last)}));
    return op("and", std::move(args));
  };
  {
    EvalContext ctx;
    EXPECT_EQ(outcome(evaluate(ctx, ranges(99'988))), "true");
    EXPECT_EQ(ctx.alloc_nodes, 0u);
  }
  EXPECT_EQ(eval_text(ranges(99'989)), "error: rule allocation limit exceeded");
}

TEST(ExprBudgets, AllocationByteBudget) {
  Array args;
  for (int i = 0; i < 16; ++i) args.push_back(op("hex", Array{Value(0), Value(1'048'576)}));
  {
    EvalContext ctx;
    EXPECT_EQ(outcome(evaluate(ctx, op("and", args))), "true");
    EXPECT_EQ(ctx.alloc_bytes, 0u);
  }
  args.push_back(op("hex", Array{Value(0), Value(1)}));
  EXPECT_EQ(eval_text(op("and", std::move(args))), "error: rule allocation limit exceeded");
}

TEST(ExprBudgets, SizePrecheckOfCopyingFunctions) {
  // Each argument alone is within the limits, together they are not.
  EvalContext ctx;
  const Value half = Value(Array(50'000, Value(0)));  // 50,001 nodes
  ctx.bind_ref("half", half);
  const Value get_half = J(R"({"op":"get","path":"half"})");
  for (const char* name : {"list", "concat"}) {
    EXPECT_EQ(outcome(evaluate(ctx, op(name, Array{get_half, get_half}))), "error: rule value size limit exceeded")
        << name;
  }
  EXPECT_EQ(outcome(evaluate(ctx, op("zip", Array{get_half, get_half}))), "error: rule value size limit exceeded");
  // 49,999 + 1 and 49,999 + 1 nodes: 100,000 in all passes the pre-check.
  const Value fits = Value(Array(49'999, Value(0)));
  ctx.bind_ref("fits", fits);
  const Value get_fits = J(R"({"op":"get","path":"fits"})");
  EXPECT_EQ(outcome(evaluate(ctx, op("len", Array{op("concat", Array{get_fits, get_fits})}))), "99998");
  EXPECT_EQ(outcome(evaluate(ctx, op("len", Array{op("concat", Array{get_fits, get_fits, Value()})}))),
            "error: rule value size limit exceeded");
}

TEST(ExprBudgets, ReferencedDocumentsAreChargedOnlyWhenCopied) {
  // A caller-owned document far above the value limits stays usable through
  // paths that copy out small parts.
  Array big(300'000, Value(7));
  big[123'456] = Value("found");
  const Value doc = Value(std::move(big));
  EvalContext ctx;
  ctx.bind_ref("big", doc);
  EXPECT_EQ(outcome(evaluate(ctx, J(R"({"op":"get","path":"big.123456"})"))), "\"found\"");
  EXPECT_EQ(ctx.alloc_nodes, kAllocNodeBudget - 1);  // only the copied element
  EXPECT_EQ(outcome(evaluate(ctx, J(R"({"op":"get","path":"big"})"))), "error: rule value size limit exceeded");
}

}  // namespace
}  // namespace kesvo::expr_test
