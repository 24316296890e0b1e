// Helpers for the expression language tests: parsing JSON literals, running
// an expression in a fresh context, and running tables of cases.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "core/json_reader.h"
#include "core/json_writer.h"
#include "expr/eval.h"

namespace kesvo::expr_test {

inline Value J(std::string_view text) {
  auto r = read_json(text);
  EXPECT_TRUE(r.ok()) << (r.ok() ? "" : r.error()) << " in " << text;
  return r.ok() ? std::move(r).value() : Value();
}

// The outcome of an evaluation as one comparable text: the compact JSON of
// the value (so 2 and 2.0 differ), or "error: " and the message.
inline std::string outcome(const ExprResult& r) {
  return r.ok() ? to_json(r.value()) : "error: " + r.error();
}

// Evaluates `expr` in a fresh context. `functions` becomes the function
// table, `rules` is bound by reference as "rules" when not null, and every
// member of `vars` is bound as a variable.
inline std::string eval_text(const Value& expr, const Value& vars = Value(), const Value& functions = Value(),
                             const Value& rules = Value()) {
  EvalContext ctx(&functions);
  if (!rules.is_null()) ctx.bind_ref("rules", rules);
  if (vars.is_object()) {
    for (const Member& m : vars.as_object()) ctx.bind(m.key, m.value);
  }
  return outcome(evaluate(ctx, expr));
}

inline std::string eval_text(std::string_view expr, std::string_view vars = "null") {
  return eval_text(J(expr), J(vars));
}

// Runs a table of expression cases, one JSON object per line ("//" lines are
// comments):
//   "expr"       the expression
//   "vars"       optional object: variables bound before evaluation
//   "functions"  optional: the function table
//   "rules"      optional: the rule pack, bound by reference as "rules"
//   "value"      the expected value (compared as compact JSON), or
//   "error"      the expected failure message
//   "note"       optional description
inline void run_table(const std::string& file) {
  const std::string path = std::string(KESVO_TEST_DATA) + "/unit/expr/tables/" + file;
  std::ifstream in(path, std::ios::binary);
  ASSERT_TRUE(in) << "cannot open " << path;
  std::string line;
  int line_no = 0;
  int cases = 0;
  while (std::getline(in, line)) {
    ++line_no;
    if (line.find_first_not_of(" \t\r") == std::string::npos || line.rfind("//", 0) == 0) continue;
    auto parsed = read_json(line);
    ASSERT_TRUE(parsed.ok()) << file << ":" << line_no << ": " << parsed.error();
    const Value& c = parsed.value();
    std::string expected;
    if (const Value* v = c.find("value")) {
      expected = to_json(*v);
    } else {
      ASSERT_TRUE(c["error"].is_string()) << file << ":" << line_no << ": case without value or error";
      expected = "error: " + c["error"].as_string();
    }
    const std::string got = eval_text(c["expr"], c["vars"], c["functions"], c["rules"]);
    // Long outcomes are clipped so a failure stays readable.
    auto clip = [](const std::string& s) { return s.size() > 300 ? s.substr(0, 300) + "..." : s; };
    EXPECT_TRUE(got == expected) << file << ":" << line_no << " " << c["note"].string_or_empty() << "\n  expr: "
                                 << clip(to_json(c["expr"])) << "\n  got: " << clip(got)
                                 << "\n  expected: " << clip(expected);
    ++cases;
  }
  EXPECT_GT(cases, 0) << file;
}

}  // namespace kesvo::expr_test
