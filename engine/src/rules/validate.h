// Validation of rule-pack documents.
#pragma once

#include <string>

#include "core/json.h"
#include "core/result.h"

namespace kesvo {

// Validates a rule-pack document (without the version check of loading):
// the embedded schema, then "cover_defaults" read as cover settings, the
// names of "cover_switches", and the override map. Returns the message of
// the first problem found.
Result<void, std::string> validate_rule_pack(const Value& document);

}  // namespace kesvo
