#include "api/rule_registry.h"

namespace kesvo {

namespace {

constexpr const char* kPoisoned = "rule registry poisoned";
constexpr const char* kConflict = "rule id already registered with different content";

Result<std::string_view> check_rules_id(const Value& rules_id) {
  if (!rules_id.is_string() || rules_id.as_string().empty())
    return fail(ErrorKind::Request, "rules_id must be a nonempty string");
  return std::string_view(rules_id.as_string());
}

}  // namespace

RuleRegistry& RuleRegistry::instance() {
  static RuleRegistry registry;
  return registry;
}

Result<Value> RuleRegistry::install(const Value& rules_id, const Value& document) {
  const std::string_view id = KESVO_TRY(check_rules_id(rules_id));
  {
    LockGuard guard(lock_);
    if (!guard.ok()) return fail(ErrorKind::Rules, kPoisoned);
    auto it = entries_.find(id);
    if (it != entries_.end()) {
      // Same content under the same id is a no-op; the document is not
      // validated again.
      if (rule_pack_fingerprint(document) == it->second->fingerprint) return Value(true);
      return fail(ErrorKind::Rules, kConflict);
    }
  }
  std::string fingerprint = KESVO_TRY(load_rule_pack(document));
  auto entry = make_shared<const RulePack>(RulePack{document, fingerprint});
  LockGuard guard(lock_);
  if (!guard.ok()) return fail(ErrorKind::Rules, kPoisoned);
  auto it = entries_.find(id);
  if (it != entries_.end()) {
    // Another thread installed this id while we validated.
    if (it->second->fingerprint == fingerprint) return Value(true);
    return fail(ErrorKind::Rules, kConflict);
  }
  entries_.emplace(std::string(id), std::move(entry));
  return Value(true);
}

Result<Value> RuleRegistry::remove(const Value& rules_id) {
  const std::string_view id = KESVO_TRY(check_rules_id(rules_id));
  Shared<const RulePack> removed;  // released after the lock
  LockGuard guard(lock_);
  if (!guard.ok()) return fail(ErrorKind::Rules, kPoisoned);
  auto it = entries_.find(id);
  if (it == entries_.end()) return Value(false);
  removed = std::move(it->second);
  entries_.erase(it);
  return Value(true);
}

Result<Shared<const RulePack>> RuleRegistry::lookup(std::string_view rules_id) {
  LockGuard guard(lock_);
  if (!guard.ok()) return fail(ErrorKind::Rules, kPoisoned);
  if (entries_.empty()) return Shared<const RulePack>();
  auto it = entries_.find(rules_id);
  if (it == entries_.end()) return Shared<const RulePack>();
  return it->second;
}

Result<RulePackRef> resolve_rule_pack(const Value& request) {
  const Value* inline_rules = request.find("rules");
  if (inline_rules && !inline_rules->is_null()) {
    std::string fingerprint = KESVO_TRY(load_rule_pack(*inline_rules));
    return RulePackRef::borrowed(*inline_rules, std::move(fingerprint));
  }
  Shared<const RulePack> entry = KESVO_TRY(RuleRegistry::instance().lookup(request["rules_id"].string_or_empty()));
  if (!entry) return fail(ErrorKind::Rules, "rules are required or rules_id is not registered");
  return RulePackRef::shared(std::move(entry));
}

}  // namespace kesvo
