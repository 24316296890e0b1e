// A loaded rule pack: the validated document and its fingerprint (the
// SHA-256 of its compact JSON text). Immutable once built and shared by
// reference between the registry, running operations and live drivers.
#pragma once

#include <string>

#include "core/json.h"
#include "core/result.h"

namespace kesvo {

struct RulePack {
  Value document;
  std::string fingerprint;
};

// The fingerprint of a document: SHA-256 of its compact JSON text, as 64
// lower-case hex characters.
std::string rule_pack_fingerprint(const Value& document);

// Loads a document as a rule pack: version check, validation, fingerprint.
// Every failure is a Rules error.
Result<std::string> load_rule_pack(const Value& document);

}  // namespace kesvo
