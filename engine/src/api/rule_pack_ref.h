// What a rule-bound operation runs against: either a document borrowed from
// the request (validated and fingerprinted for this call) or a shared entry
// of the registry. Either way the operation sees a document and its
// fingerprint.
#pragma once

#include <string>

#include "core/platform.h"
#include "rules/rule_pack.h"

namespace kesvo {

class RulePackRef {
 public:
  // Borrows `document` (owned by the request) for the duration of the call.
  static RulePackRef borrowed(const Value& document, std::string fingerprint) {
    RulePackRef r;
    r.document_ = &document;
    r.fingerprint_ = std::move(fingerprint);
    return r;
  }
  static RulePackRef shared(Shared<const RulePack> entry) {
    RulePackRef r;
    r.document_ = &entry->document;
    r.fingerprint_ = entry->fingerprint;
    r.entry_ = std::move(entry);
    return r;
  }

  const Value& document() const { return *document_; }
  const std::string& fingerprint() const { return fingerprint_; }
  bool is_borrowed() const { return entry_ == nullptr; }
  // The shared entry, or null for a borrowed document.
  const Shared<const RulePack>& entry() const { return entry_; }

 private:
  const Value* document_ = nullptr;
  std::string fingerprint_;
  Shared<const RulePack> entry_;
};

}  // namespace kesvo
