// The process-wide table of installed rule packs, keyed by rules_id. One
// lock guards it, held only for a lookup, an insertion, a removal and the
// install-time fingerprint comparison; never while a document is validated.
// Entries are immutable and shared by reference.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

#include "core/json.h"
#include "core/platform.h"
#include "api/rule_pack_ref.h"
#include "core/result.h"
#include "rules/rule_pack.h"

namespace kesvo {

class RuleRegistry {
 public:
  // Installs `document` under `rules_id`: true, or an error.
  Result<Value> install(const Value& rules_id, const Value& document);
  // Removes the entry: whether one was removed.
  Result<Value> remove(const Value& rules_id);
  // The entry for `rules_id`, or null when none is installed.
  Result<Shared<const RulePack>> lookup(std::string_view rules_id);

  static RuleRegistry& instance();

 private:
  struct Hash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  Mutex lock_;
  std::unordered_map<std::string, Shared<const RulePack>, Hash, std::equal_to<>> entries_;
};

// The rule pack of a rule-bound request: the inline "rules" when present and
// not null (loaded for this call; "rules_id" is then not consulted),
// otherwise the registered entry named by "rules_id" (anything but a string
// names the empty id, which is never registered).
Result<RulePackRef> resolve_rule_pack(const Value& request);

}  // namespace kesvo
