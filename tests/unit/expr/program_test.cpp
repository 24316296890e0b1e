// The program executor: built-in statements, the caller's handler, Stop,
// the statement budget, program nesting, and template references.
#include <string>
#include <vector>

#include "core/value_rules.h"
#include "expr_test_util.h"

namespace kesvo::expr_test {
namespace {

// A caller with two statements of its own: {"emit": expr} records the
// value of expr, {"stop": true} stops the run; anything else fails.
struct Recorder {
  std::vector<std::string> emitted;

  FlowResult operator()(EvalContext& ctx, const Value& stmt) {
    if (const Value* e = stmt.find("emit")) {
      ExprResult r = evaluate(ctx, *e);
      if (!r.ok()) return std::move(r).failure();
      emitted.push_back(to_json(r.value()));
      return ProgramFlow::Continue;
    }
    if (stmt.find("stop")) return ProgramFlow::Stop;
    return fail_msg("unknown statement " + to_json(stmt));
  }

  std::string joined() const {
    std::string s;
    for (const std::string& e : emitted) s += (s.empty() ? "" : " ") + e;
    return s;
  }
};

std::string flow_text(const FlowResult& r) {
  if (!r.ok()) return "error: " + r.error();
  return r.value() == ProgramFlow::Stop ? "stop" : "continue";
}

// Runs `program` in a fresh context with `rules` bound by reference (when
// not null); returns the flow and what was emitted.
std::string run(std::string_view program, std::string_view rules = "null") {
  const Value prog = J(program);
  const Value rules_doc = J(rules);
  EvalContext ctx(&rules_doc["functions"]);
  if (!rules_doc.is_null()) ctx.bind_ref("rules", rules_doc);
  Recorder rec;
  FlowResult r = run_program(ctx, prog, rec);
  return flow_text(r) + (rec.emitted.empty() ? "" : " | " + rec.joined());
}

TEST(ExprProgram, Statements) {
  struct Case {
    const char* program;
    const char* rules;
    const char* expected;
  };
  const Case cases[] = {
      {"null", "null", "continue"},
      {"[]", "null", "continue"},
      {"{}", "null", "error: rule program must be an array"},
      {R"([{"emit":1},{"emit":{"op":"add","args":[1,2]}}])", "null", "continue | 1 3"},
      // "if" runs "then" or "else" as a nested program; a missing branch is empty.
      {R"([{"if":1,"then":[{"emit":"t"}],"else":[{"emit":"e"}]},{"if":0,"then":[{"emit":"t"}]},{"emit":"end"}])",
       "null", "continue | \"t\" \"end\""},
      {R"([{"if":0,"then":[{"emit":"t"}],"else":[{"emit":"e"}]}])", "null", "continue | \"e\""},
      {R"([{"if":1,"then":{"emit":"t"}}])", "null", "error: rule program must be an array"},
      {R"([{"if":{"op":"error","message":"cond"},"then":[]}])", "null", "error: cond"},
      // "if" is tested before "let": a statement with both is an "if".
      {R"([{"if":true,"let":"x","value":1,"then":[]},{"emit":{"op":"get","path":"x","default":"unset"}}])", "null",
       "continue | \"unset\""},
      // "let" assigns: later statements and nested programs see the value, a
      // second "let" replaces it.
      {R"([{"let":"x","value":1},{"emit":{"op":"get","path":"x"}},{"let":"x","value":{"op":"add","args":[{"op":"get","path":"x"},1]}},{"emit":{"op":"get","path":"x"}}])",
       "null", "continue | 1 2"},
      {R"([{"if":true,"then":[{"let":"y","value":"inner"}]},{"emit":{"op":"get","path":"y"}}])", "null",
       "continue | \"inner\""},
      {R"([{"let":"z"},{"emit":{"op":"get","path":"z","default":"unset"}}])", "null", "continue | null"},
      {R"([{"let":5,"value":"e"},{"emit":{"op":"get","path":""}}])", "null", "continue | \"e\""},
      {R"([{"let":"x","value":{"op":"error","message":"v"}}])", "null", "error: v"},
      // Stop ends the whole run, enclosing programs included.
      {R"([{"emit":1},{"if":true,"then":[{"if":true,"then":[{"stop":true},{"emit":2}]},{"emit":3}]},{"emit":4}])",
       "null", "stop | 1"},
      // Handler failures propagate; non-object statements go to the handler.
      {R"([{"emit":1},{"what":1},{"emit":2}])", "null", "error: unknown statement {\"what\":1} | 1"},
      {R"([5])", "null", "error: unknown statement 5"},
      // Templates.
      {R"([{"$use":"t"},{"emit":"after"}])", R"({"templates":{"t":[{"emit":"in t"},{"$use":"u"}],"u":[{"emit":"in u"}]}})",
       "continue | \"in t\" \"in u\" \"after\""},
      {R"([{"$use":"missing"},{"emit":"after"}])", R"({"templates":{}})", "continue | \"after\""},
      {R"([{"$use":5}])", R"({"templates":{"":[{"emit":"empty name"}]}})", "continue | \"empty name\""},
      {R"([{"$use":"t"}])", R"({"templates":{"t":{"emit":1}}})", "error: rule program must be an array"},
      {R"([{"$use":"t"},{"emit":"after"}])", R"({"templates":{"t":[{"stop":true}]}})", "stop"},
      {R"([{"$use":"t"}])", "null", "error: templates need a rule pack"},
      {R"([{"$use":"t","let":"x","value":1},{"emit":{"op":"get","path":"x","default":"unset"}}])",
       R"({"templates":{"t":[]}})", "continue | \"unset\""},
      // Expressions in programs reach the rule pack's functions and features.
      {R"([{"emit":{"op":"call","fn":"twice","args":[4]}},{"emit":{"op":"flags","table":"f","when":{"a":1}}}])",
       R"({"functions":{"twice":{"params":["n"],"body":{"op":"mul","args":[{"op":"get","path":"n"},2]}}},"features":{"f":{"a":6}}})",
       "continue | 8 6"},
  };
  for (const Case& c : cases) EXPECT_EQ(run(c.program, c.rules), c.expected) << c.program;
}

TEST(ExprProgram, LetStatementReplacesTheNewestVariable) {
  const Value status = J(R"({"on":true})");
  EvalContext ctx;
  ctx.bind("x", Value("older"));
  ctx.bind_ref("x", status);
  Recorder rec;
  ASSERT_TRUE(run_program(ctx, J(R"([{"let":"x","value":"new"},{"let":"x","value":"newer"},{"let":"y","value":1}])"), rec).ok());
  EXPECT_EQ(ctx.scope_size(), 3u);  // x replaced twice, y added
  EXPECT_EQ(to_json(*ctx.lookup("x")), "\"newer\"");
  EXPECT_FALSE(ctx.is_reference("x"));
  EXPECT_EQ(to_json(status), R"({"on":true})");  // the caller's document is untouched
  ctx.truncate_scope(1);
  EXPECT_EQ(to_json(*ctx.lookup("x")), "\"older\"");
  EXPECT_EQ(ctx.lookup("y"), nullptr);
}

// A program of `n` handler statements, optionally wrapped in an "if".
Value statements(int n) {
  Array a;
  for (int i = 0; i < n; ++i) a.push_back(J(R"({"emit":1})"));
  return Value(std::move(a));
}

TEST(ExprProgram, InstructionBudget) {
  auto run_value = [](const Value& program) {
    EvalContext ctx;
    Recorder rec;
    std::string r = flow_text(run_program(ctx, program, rec));
    return r + " after " + std::to_string(rec.emitted.size());
  };
  EXPECT_EQ(run_value(statements(10'000)), "continue after 10000");
  EXPECT_EQ(run_value(statements(10'001)), "error: rule instruction limit exceeded after 10000");
  // Statements of nested programs count toward the same budget: the "if"
  // itself is one.
  Value wrapped = Value::object();
  wrapped.member("if") = Value(true);
  wrapped.member("then") = statements(9'999);
  EXPECT_EQ(run_value(Value(Array{wrapped})), "continue after 9999");
  wrapped.member("then") = statements(10'000);
  EXPECT_EQ(run_value(Value(Array{wrapped})), "error: rule instruction limit exceeded after 9999");
}

TEST(ExprProgram, EachRunGetsItsOwnStatementBudget) {
  EvalContext ctx;
  Recorder rec;
  const Value program = statements(6'000);
  EXPECT_EQ(flow_text(run_program(ctx, program, rec)), "continue");
  EXPECT_EQ(flow_text(run_program(ctx, program, rec)), "continue");
}

TEST(ExprProgram, HandlerProgramsShareTheRunAndNestDeeper) {
  // {"repeat": n, "do": program} runs `program` n times as nested programs.
  struct Repeater {
    FlowResult operator()(EvalContext& ctx, const Value& stmt) {
      if (const Value* n = stmt.find("repeat")) {
        for (uint64_t i = 0; i < n->as_uint(); ++i) {
          FlowResult r = run_program(ctx, stmt["do"], *this);
          if (!r.ok() || r.value() == ProgramFlow::Stop) return r;
        }
        return ProgramFlow::Continue;
      }
      levels.push_back(ctx.program_level);
      return ProgramFlow::Continue;
    }
    std::vector<uint32_t> levels;
  };
  {
    EvalContext ctx;
    Repeater rep;
    // 1 + 5000 x 2 = 10,001 statements in one run.
    EXPECT_EQ(flow_text(run_program(ctx, J(R"([{"repeat":5000,"do":[{"x":1},{"x":2}]}])"), rep)),
              "error: rule instruction limit exceeded");
  }
  {
    EvalContext ctx;
    Repeater rep;
    EXPECT_EQ(flow_text(run_program(ctx, J(R"([{"x":0},{"repeat":1,"do":[{"x":1}]}])"), rep)), "continue");
    EXPECT_EQ(rep.levels, (std::vector<uint32_t>{1, 2}));
    EXPECT_EQ(ctx.program_level, 0u);
  }
}

// `k` nested "if" statements around an emit: the innermost program runs at
// level k.
Value nested_programs(int k) {
  Value p = statements(1);
  for (int i = 0; i < k; ++i) {
    Value s = Value::object();
    s.member("if") = Value(true);
    s.member("then") = std::move(p);
    p = Value(Array{std::move(s)});
  }
  return p;
}

TEST(ExprProgram, ProgramNesting) {
  EvalContext ctx;
  Recorder rec;
  EXPECT_EQ(flow_text(run_program(ctx, nested_programs(63), rec)), "continue");
  EXPECT_EQ(rec.emitted.size(), 1u);
  EvalContext ctx2;
  EXPECT_EQ(flow_text(run_program(ctx2, nested_programs(64), rec)), "error: rule nesting limit exceeded");
  EXPECT_EQ(rec.emitted.size(), 1u);
  // Templates that use themselves hit the same limit.
  EXPECT_EQ(run(R"([{"$use":"loop"}])", R"({"templates":{"loop":[{"$use":"loop"}]}})"),
            "error: rule nesting limit exceeded");
}

TEST(ExprProgram, TemplateReplacingItsOwnRulePack) {
  // The rule pack is owned by the variable here, and the template replaces
  // that variable while it runs.
  EvalContext ctx;
  ctx.bind("rules", J(R"({"templates":{"t":[{"let":"rules","value":0},{"emit":"still running"},{"emit":{"op":"get","path":"rules"}}]}})"));
  Recorder rec;
  EXPECT_EQ(flow_text(run_program(ctx, J(R"([{"$use":"t"}])"), rec)), "continue");
  EXPECT_EQ(rec.joined(), "\"still running\" 0");
}

TEST(ExprProgram, ResolveUse) {
  const Value rules = J(R"({"templates":{
    "a":{"$use":"b"}, "b":{"$use":"c"}, "c":{"value":3},
    "loop":{"$use":"loop"}, "num":{"$use":5},
    "t1":{"$use":"t2"},"t2":{"$use":"t3"},"t3":{"$use":"t4"},"t4":{"$use":"t5"},"t5":{"$use":"t6"},
    "t6":{"$use":"t7"},"t7":{"$use":"t8"},"t8":{"$use":"t9"},"t9":{"end":true}}})");
  EXPECT_EQ(to_json(resolve_use(rules, J(R"({"$use":"a"})"))), R"({"value":3})");
  EXPECT_EQ(to_json(resolve_use(rules, J(R"({"$use":"missing"})"))), "null");
  EXPECT_EQ(to_json(resolve_use(rules, J(R"([1])"))), "[1]");
  EXPECT_EQ(to_json(resolve_use(rules, J(R"({"$use":1,"x":2})"))), R"({"$use":1,"x":2})");
  EXPECT_EQ(to_json(resolve_use(rules, J(R"({"$use":"num"})"))), R"({"$use":5})");
  EXPECT_EQ(to_json(resolve_use(rules, J(R"({"$use":"loop"})"))), R"({"$use":"loop"})");
  // Eight replacements reach t8, whose reference is returned as it is.
  EXPECT_EQ(to_json(resolve_use(rules, J(R"({"$use":"t1"})"))), R"({"$use":"t9"})");
  EXPECT_EQ(to_json(resolve_use(rules, J(R"({"$use":"t2"})"))), R"({"end":true})");
  EXPECT_EQ(to_json(resolve_use(Value(), J(R"({"$use":"a"})"))), "null");
}

}  // namespace
}  // namespace kesvo::expr_test
