#include "core/json_writer.h"
#include "core/sha256.h"
#include "rules/rule_pack.h"
#include "rules/validate.h"

namespace kesvo {

std::string rule_pack_fingerprint(const Value& document) { return sha256_hex(to_json(document)); }

Result<std::string> load_rule_pack(const Value& document) {
  // The version check comes first, so a document that is not an object fails
  // here too. Only the integer literal 1 counts.
  const Value& version = document["version"];
  if (!version.is_uint() || version.as_uint() != 1) return fail(ErrorKind::Rules, "unsupported rule version");
  auto valid = validate_rule_pack(document);
  if (!valid.ok()) return fail(ErrorKind::Rules, std::move(valid).error());
  return rule_pack_fingerprint(document);
}

}  // namespace kesvo
