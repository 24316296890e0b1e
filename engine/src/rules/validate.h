// Validation of rule-pack documents.
#pragma once

#include <string>

#include "core/json.h"
#include "core/result.h"

namespace kesvo {

// Validates a rule-pack document (without the version check of loading).
// Returns the failure message of the first problem found.
Result<void, std::string> validate_rule_pack(const Value& document);

}  // namespace kesvo
