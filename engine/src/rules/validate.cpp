#include "rules/validate.h"

#include "driver/cover/cover_settings.h"
#include "driver/overrides/check.h"
#include "rules/schema.h"

namespace kesvo {

namespace {

// The checks the schema cannot express: "cover_defaults" read as cover
// settings, the names of "cover_switches", and the override map (its
// messages prefixed "override: ").
Result<void, std::string> check_rule_pack_extras(const Value& document) {
  auto defaults = read_cover_settings(document["cover_defaults"]);
  if (!defaults.ok()) return fail_msg("cover_defaults: " + defaults.error());

  if (const Value* switches = document.find("cover_switches"); switches && switches->is_object()) {
    const Value& names = default_cover_settings_json();
    for (const Member& m : switches->as_object()) {
      if (!names.find(m.key)) return fail_msg("cover_switches: unknown cover setting " + m.key);
    }
  }

  if (const Value* overrides = document.find("overrides")) {
    auto checked = check_overrides(*overrides, document);
    if (!checked.ok()) return fail_msg("override: " + checked.error());
  }
  return {};
}

}  // namespace

Result<void, std::string> validate_rule_pack(const Value& document) {
  const EmbeddedSchema& schema = embedded_schema();
  if (!schema.parse_error.empty()) return fail_msg(schema.parse_error);
  auto valid = validate(document, schema.full);
  if (!valid.ok()) return valid;
  return check_rule_pack_extras(document);
}

}  // namespace kesvo
