// The plan: the result of classifying one entity instance. It names the
// platform (and so the entity definition), the category entry's key, the
// instance's identity and configuration, the roles bound to data points and
// the DP codes whose changes concern it. Plans are immutable once made.
//
// Plan-level decisions used by the driver and the "on_update" operation:
// encoding a role command, whether a report concerns a plan, event
// detection for event plans and delta accumulation for delta plans.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/json.h"
#include "core/result.h"
#include "data/role.h"

namespace kesvo {

// How an entity's state slot is reported.
enum class SlotKind { None, Event, Delta };

// "event", "delta", or nothing for SlotKind::None.
std::optional<std::string_view> slot_kind_name(SlotKind kind);

struct NamedRole {
  std::string name;
  Role role;
};

struct Plan {
  std::string platform;                 // also names the entity definition
  std::string key;                      // the category entry's key
  Value identity;                       // identity of the entity instance
  std::vector<NamedRole> roles;         // in role order, names unique
  std::vector<std::string> depends_on;  // the first code is the primary code
  SlotKind slot_kind = SlotKind::None;
  bool update_all = false;
  Value config;

  // The role named `name`, or nullptr.
  const Role* find_role(std::string_view name) const;
};

// The JSON form: an object with "platform", "key", "identity", "roles"
// (object of role name -> Role), "depends_on", "slot_kind" ("event",
// "delta" or null), "update_all" and "config", in this order.
Value plan_to_json(const Plan& plan);

// Reads a plan from its object form (all eight members required, others
// ignored) or from an array of exactly eight values in the same order.
// Failures are messages such as "missing field `roles`" or
// "update_all: expected a boolean, found a string".
Result<Plan, std::string> plan_from_json(const Value& json);

// Encodes a command value for the DP of the plan's role `role` and returns
// {"code": role code, "value": encoded value}. A role the plan does not have
// is an Invalid error "{role} not available"; a value the DP does not accept
// is a Value error with the codec's message.
Result<Value> encode_command(const Plan& plan, std::string_view role, const Value& value);

// Whether a report that changed the DP codes `changed` concerns the plan:
// always with "update_all", otherwise when one of its "depends_on" codes
// changed.
bool concerns(const Plan& plan, std::span<const std::string> changed);

// Event detection of an event plan. Only a change of the primary code
// triggers it: the entity state is computed from `status` (DP code ->
// decoded value) with the total 0, and its member "event", when truthy, is
// the event. Nothing otherwise. Fails with the entity state's evaluation
// error, or when the plan's platform has no entity definition.
Result<std::optional<Value>, std::string> event_of(const Plan& plan, const Value& status,
                                                   std::span<const std::string> changed, const Value& rules);

// What a delta plan accumulates into: the running total and the time stamp
// of the last counted report (null before the first).
struct DeltaSlot {
  double total = 0;
  Value last_ts;
};

// Counts one report of the primary code of a delta plan: `value` is its
// decoded value, `ts` its time stamp, `accept` whether the code is among
// the changed ones. A report without value or time stamp, or whose time
// stamp equals the last counted one (same JSON type and content: the
// integer 1000 and the float 1000.0 differ), is not counted. Otherwise the
// value (to_number) is added and the time stamp kept; returns whether the
// slot changed. Values that are not finite numbers count 0, and a report
// that would make the total overflow is not counted, so the total always
// stays a finite number.
bool delta_step(DeltaSlot& slot, const Value& value, const Value& ts, bool accept);

}  // namespace kesvo
