#include "rules/validate.h"

namespace kesvo {

// Placeholder until schema validation lands: every document passes.
Result<void, std::string> validate_rule_pack(const Value& document) { return {}; }

}  // namespace kesvo
