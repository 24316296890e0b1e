#include "rules/layering.h"

#include <string>

#include "driver/overrides/check.h"
#include "rules/schema.h"
#include "rules/validate.h"

namespace kesvo {

namespace {

// The single member of a one-member object, or null.
const Member* sole_member(const Value& v) {
  if (!v.is_object() || v.as_object().size() != 1) return nullptr;
  return v.as_object().first();
}

bool has_all(const Value& document, const std::vector<std::string_view>& names) {
  for (std::string_view name : names) {
    if (!document.find(name)) return false;
  }
  return true;
}

// The per-layer check of tolerant mode: the schema (the full one once the
// document before this layer is complete, the relaxed one while it is still
// being built up), then the override map. Returns the problem, or nothing.
Result<void, std::string> check_candidate(const Value& candidate, const EmbeddedSchema& schema, bool complete) {
  auto valid = validate(candidate, complete ? schema.full : schema.relaxed);
  if (!valid.ok()) return valid;
  if (const Value* overrides = candidate.find("overrides")) {
    auto checked = check_overrides(*overrides, candidate);
    if (!checked.ok()) return fail_msg("override: " + checked.error());
  }
  return {};
}

}  // namespace

void apply_layer(Value& target, const Value& patch) {
  if (!patch.is_object()) {
    target = patch;
    return;
  }
  if (!target.is_object()) target = Value::object();
  Object& t = target.as_object();
  for (const Member& m : patch.as_object()) {
    if (const Member* marker = sole_member(m.value)) {
      if (marker->key == "$delete" && marker->value.is_bool() && marker->value.as_bool()) {
        t.erase(m.key);
        continue;
      }
      if (marker->key == "$append" && marker->value.is_array()) {
        const Array& items = marker->value.as_array();
        Value* existing = t.find(m.key);
        if (existing && existing->is_array()) {
          Array& a = existing->as_array();
          a.insert(a.end(), items.begin(), items.end());
        } else {
          t.set(m.key, marker->value);
        }
        continue;
      }
    }
    apply_layer(t[m.key], m.value);
  }
}

Result<Value> merge_rules(const Value& request) {
  Value accumulator = Value::object();
  if (const Value* base = request.find("base")) {
    if (!base->is_object()) return fail(ErrorKind::Rules, "rule base must be a JSON object");
    accumulator = *base;
  }
  const Value& tolerant_member = request["tolerant"];
  const bool tolerant = tolerant_member.is_bool() && tolerant_member.as_bool();

  const EmbeddedSchema& schema = embedded_schema();
  if (!schema.parse_error.empty()) return fail(ErrorKind::Rules, schema.parse_error);
  if (!schema.schema->document().is_object()) return fail(ErrorKind::Rules, "invalid schema");

  Array sources;
  Array warnings;
  const Value& layers = request["layers"];
  const size_t count = layers.is_array() ? layers.as_array().size() : 0;
  for (size_t i = 0; i < count; ++i) {
    const Value& layer = layers.as_array()[i];
    // A named layer has exactly the members "source" (a string) and "rules";
    // anything else is a bare patch named by its index.
    const Value* source = layer.find("source");
    const Value* rules = layer.find("rules");
    const bool named = layer.is_object() && layer.as_object().size() == 2 && source && source->is_string() && rules;
    std::string name = named ? source->as_string() : "layer " + std::to_string(i);
    const Value& patch = named ? *rules : layer;

    std::string problem;
    if (!patch.is_object()) {
      problem = "rule layer must be a JSON object";
    } else if (!tolerant) {
      // Without tolerance a layer is never rolled back (any failure ends the
      // operation), so it is applied to the accumulator directly.
      apply_layer(accumulator, patch);
      sources.emplace_back(std::move(name));
      continue;
    } else {
      const bool complete = has_all(accumulator, schema.required_names);
      Value candidate = accumulator;
      apply_layer(candidate, patch);
      auto checked = check_candidate(candidate, schema, complete);
      if (checked.ok()) {
        accumulator = std::move(candidate);
        sources.emplace_back(std::move(name));
        continue;
      }
      problem = std::move(checked).error();
    }
    std::string text = name + ": " + problem;
    if (!tolerant) return fail(ErrorKind::Rules, std::move(text));
    warnings.emplace_back(std::move(text));
  }

  auto valid = validate_rule_pack(accumulator);
  if (!valid.ok()) return fail(ErrorKind::Rules, std::move(valid).error());

  Object result;
  result.reserve(3);
  result.append_new("rules", std::move(accumulator));
  result.append_new("sources", Value(std::move(sources)));
  result.append_new("warnings", Value(std::move(warnings)));
  return Value(std::move(result));
}

}  // namespace kesvo
