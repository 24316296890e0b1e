#include "data/role.h"

#include "core/json_messages.h"
#include "core/value_rules.h"

namespace kesvo {

Value role_to_json(const Role& role) {
  Object o;
  o.reserve(4);
  o.append_new("code", Value(role.code));
  o.append_new("kind", Value(kind_name(role.kind)));
  o.append_new("spec", role.spec);
  o.append_new("report_type", role.report_type);
  return Value(std::move(o));
}

namespace {

Result<Role, std::string> role_from_parts(const Value& code, const Value& kind, const Value& spec,
                                          const Value& report_type) {
  if (!code.is_string()) return fail_msg("role code must be a string");
  std::optional<DpKind> k = parse_kind(kind);
  if (!k) return fail_msg("invalid dp kind");
  return Role{code.as_string(), *k, spec, report_type};
}

}  // namespace

Result<Role, std::string> role_from_json(const Value& v) {
  if (v.is_array()) {
    const Array& a = v.as_array();
    if (a.size() != 4) return fail_msg("a role array must hold exactly four values");
    return role_from_parts(a[0], a[1], a[2], a[3]);
  }
  if (!v.is_object()) return fail_msg("a role must be an object or an array of four values");
  static constexpr std::string_view kFields[] = {"code", "kind", "spec", "report_type"};
  const Value* parts[4];
  for (size_t i = 0; i < 4; ++i) {
    parts[i] = v.find(kFields[i]);
    if (!parts[i]) return fail_msg(missing_field_message(kFields[i]));
  }
  return role_from_parts(*parts[0], *parts[1], *parts[2], *parts[3]);
}

Value describe_role(const Role& role) {
  const Value& spec = role.spec;
  const double factor = spec_scale_factor(spec);
  const Value& range = spec["range"];
  Object o;
  o.reserve(9);
  o.append_new("code", Value(role.code));
  o.append_new("kind", Value(kind_name(role.kind)));
  o.append_new("spec", spec);
  o.append_new("report_type", role.report_type);
  o.append_new("range", range.is_array() ? range : Value::array());
  o.append_new("lo", number_value(to_number(spec["min"]) / factor));
  o.append_new("hi", number_value(to_number(spec["max"]) / factor));
  o.append_new("step", number_value(to_number(spec["step"]) / factor));
  o.append_new("scale", number_value(factor));
  return Value(std::move(o));
}

}  // namespace kesvo
