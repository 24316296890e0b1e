// The special forms and operation dispatch, as tables of cases.
#include "expr_test_util.h"

namespace kesvo::expr_test {
namespace {

TEST(ExprForms, Table) { run_table("forms.jsonl"); }

}  // namespace
}  // namespace kesvo::expr_test
