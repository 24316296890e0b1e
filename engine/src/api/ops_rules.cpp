// Rule-pack operations: layering, installation and removal.
#include "api/ops.h"
#include "api/rule_registry.h"
#include "rules/layering.h"

namespace kesvo {

Result<Value> op_merge_rules(OpCall& call) { return merge_rules(call.request); }

Result<Value> op_install_rules(OpCall& call) {
  return RuleRegistry::instance().install(call.request["rules_id"], call.request["rules"]);
}

Result<Value> op_remove_rules(OpCall& call) { return RuleRegistry::instance().remove(call.request["rules_id"]); }

}  // namespace kesvo
