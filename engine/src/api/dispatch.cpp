#include "api/dispatch.h"

#include <string>

#include "api/driver_table.h"
#include "api/ops.h"
#include "api/rule_registry.h"

namespace kesvo {

namespace {

enum class Group { Plain, Ruled, Live };

struct OpEntry {
  std::string_view name;
  OpFn fn;
};

// The three groups, each in its fixed order; a name is looked up in Plain,
// then Ruled, then Live.
constexpr OpEntry kPlain[] = {
    {"merge_rules", op_merge_rules}, {"install_rules", op_install_rules},
    {"remove_rules", op_remove_rules}, {"carry", op_carry},
    {"settings", op_settings},       {"merge", op_merge},
    {"status_quirk", op_status_quirk}, {"check", op_check},
    {"adapter_write", op_adapter_write}, {"strategy_write", op_strategy_write},
};
constexpr OpEntry kRuled[] = {
    {"create", op_create},           {"handle", op_handle},
    {"on_update", op_on_update},     {"unused", op_unused},
    {"quirk_schema", op_quirk_schema}, {"device_info", op_device_info},
    {"classify", op_classify},       {"read", op_read},
    {"write", op_write},             {"adapter_create", op_adapter_create},
    {"adapter_read", op_adapter_read}, {"strategy_read", op_strategy_read},
    {"open", op_open},
};
constexpr OpEntry kLive[] = {
    {"drive", op_drive}, {"view", op_view}, {"snapshot", op_snapshot},
    {"carry_handle", op_carry_handle}, {"close", op_close},
};

// The operation name: "op" as a string, or an object with a single member
// whose value is null. Anything else names no operation.
std::string_view op_name(const Value& request) {
  const Value& op = request["op"];
  if (op.is_string()) return op.as_string();
  if (op.is_object() && op.as_object().size() == 1) {
    const Member* m = op.as_object().first();
    if (m->value.is_null()) return m->key;
  }
  return {};
}

template <size_t N>
OpFn find_op(const OpEntry (&table)[N], std::string_view name) {
  for (const OpEntry& e : table) {
    if (e.name == name) return e.fn;
  }
  return nullptr;
}

}  // namespace

Result<Shared<LiveDriver>> resolve_handle(const Value& request, std::string_view member, uint64_t* handle_out) {
  const Value& v = request[member];
  // A handle is a non-negative integer literal (held as an unsigned integer).
  if (!v.is_uint()) return fail(ErrorKind::Request, std::string(member) + " must be a driver handle");
  const uint64_t handle = v.as_uint();
  Shared<LiveDriver> driver = KESVO_TRY(DriverTable::instance().find(handle));
  if (!driver) {
    return fail(ErrorKind::Request, std::string(member) + ": no open driver " + std::to_string(handle));
  }
  if (handle_out) *handle_out = handle;
  return driver;
}

Result<Value> not_built(std::string_view op) {
  return fail(ErrorKind::Invalid, "operation \"" + std::string(op) + "\" is not available in this build");
}

Result<Value> dispatch(const Value& request) {
  const std::string_view name = op_name(request);
  if (OpFn fn = find_op(kPlain, name)) {
    OpCall call{request, nullptr, {}, 0};
    return fn(call);
  }
  if (OpFn fn = find_op(kRuled, name)) {
    RulePackRef rules = KESVO_TRY(resolve_rule_pack(request));
    OpCall call{request, &rules, {}, 0};
    return fn(call);
  }
  if (OpFn fn = find_op(kLive, name)) {
    uint64_t handle = 0;
    Shared<LiveDriver> driver = KESVO_TRY(resolve_handle(request, "handle", &handle));
    OpCall call{request, nullptr, std::move(driver), handle};
    return fn(call);
  }
  return fail(ErrorKind::Invalid, "unknown engine operation");
}

}  // namespace kesvo
