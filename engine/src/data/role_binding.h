// Binding a rule-pack role to a DP of a device: the candidates are tried in
// order, each in the device's two DP tables in the preferred order, and the
// first DP that qualifies for the requested kind wins.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/json.h"
#include "core/result.h"
#include "data/dp_kind.h"
#include "data/role.h"

namespace kesvo {

// Whether one DP description qualifies for a role of `kind`, and with which
// spec. The spec is parse_embedded_json of the description's "values".
// Enum and Bitmap need a truthy spec (otherwise: nothing). Integer needs an
// object spec holding "min", "max", "scale" and "step", none null, each of
// which is normalised into an integer; a spec that fails is an error
// ("schema {code}: missing integer field", "schema {code}: invalid integer
// {member}") that stops the search. Other kinds take the spec as it is.
Result<std::optional<Value>, std::string> qualify_dp(const Value& description, std::string_view code, DpKind kind);

// Binds a role of kind `kind_name` (a canonical kind name; an alias such as
// "bool" never matches). With prefer_writable the "function" table is
// searched before "status_range", otherwise after it. The role's
// report_type always comes from "status_range". Nothing qualifying is no
// role, not an error.
Result<std::optional<Role>, std::string> resolve_role(const Value& device, std::span<const std::string> candidates,
                                                      std::string_view kind_name, bool prefer_writable);

// The same search accepting a DP whose canonical kind name is any of
// `kind_names`; the DP qualifies under the rules for its own kind.
Result<std::optional<Role>, std::string> resolve_role_any(const Value& device, std::span<const std::string> candidates,
                                                          std::span<const std::string> kind_names,
                                                          bool prefer_writable);

}  // namespace kesvo
