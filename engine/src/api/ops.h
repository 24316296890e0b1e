// The operations of the request dispatcher. Each receives the request and
// what the dispatcher resolved for it: the rule pack for rule-bound
// operations, the live driver for operations on a handle.
#pragma once

#include <cstdint>
#include <string_view>

#include "api/rule_pack_ref.h"
#include "core/json.h"
#include "core/platform.h"
#include "core/result.h"

namespace kesvo {

struct LiveDriver;

struct OpCall {
  const Value& request;
  const RulePackRef* rules = nullptr;  // rule-bound operations
  Shared<LiveDriver> driver;           // operations on a handle
  uint64_t handle = 0;
};

using OpFn = Result<Value> (*)(OpCall& call);

// The answer of an operation whose subsystem is not part of this build yet.
Result<Value> not_built(std::string_view op);

// Resolves a handle member ("handle", "old") to an open driver.
Result<Shared<LiveDriver>> resolve_handle(const Value& request, std::string_view member, uint64_t* handle_out);

// Operations needing neither a rule pack nor a handle.
Result<Value> op_merge_rules(OpCall& call);
Result<Value> op_install_rules(OpCall& call);
Result<Value> op_remove_rules(OpCall& call);
Result<Value> op_carry(OpCall& call);
Result<Value> op_settings(OpCall& call);
Result<Value> op_merge(OpCall& call);
Result<Value> op_status_quirk(OpCall& call);
Result<Value> op_check(OpCall& call);
Result<Value> op_adapter_write(OpCall& call);
Result<Value> op_strategy_write(OpCall& call);

// Rule-bound operations.
Result<Value> op_create(OpCall& call);
Result<Value> op_handle(OpCall& call);
Result<Value> op_on_update(OpCall& call);
Result<Value> op_unused(OpCall& call);
Result<Value> op_quirk_schema(OpCall& call);
Result<Value> op_device_info(OpCall& call);
Result<Value> op_classify(OpCall& call);
Result<Value> op_read(OpCall& call);
Result<Value> op_write(OpCall& call);
Result<Value> op_adapter_create(OpCall& call);
Result<Value> op_adapter_read(OpCall& call);
Result<Value> op_strategy_read(OpCall& call);
Result<Value> op_open(OpCall& call);

// Operations on an open driver.
Result<Value> op_drive(OpCall& call);
Result<Value> op_view(OpCall& call);
Result<Value> op_snapshot(OpCall& call);
Result<Value> op_carry_handle(OpCall& call);
Result<Value> op_close(OpCall& call);

}  // namespace kesvo
