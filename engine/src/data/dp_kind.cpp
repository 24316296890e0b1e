#include "data/dp_kind.h"

#include <cmath>

#include "core/json_reader.h"
#include "core/value_rules.h"

namespace kesvo {

std::optional<DpKind> parse_kind(std::string_view name) {
  if (name == "Integer" || name == "value") return DpKind::Integer;
  if (name == "Boolean" || name == "bool") return DpKind::Boolean;
  if (name == "Enum" || name == "enum") return DpKind::Enum;
  if (name == "Bitmap" || name == "bitmap") return DpKind::Bitmap;
  if (name == "Json" || name == "json") return DpKind::Json;
  if (name == "Raw" || name == "raw") return DpKind::Raw;
  if (name == "String" || name == "string") return DpKind::String;
  return std::nullopt;
}

std::optional<DpKind> parse_kind(const Value& name) {
  if (!name.is_string()) return std::nullopt;
  return parse_kind(std::string_view(name.as_string()));
}

std::string_view kind_name(DpKind kind) {
  switch (kind) {
    case DpKind::Integer: return "Integer";
    case DpKind::Boolean: return "Boolean";
    case DpKind::Enum: return "Enum";
    case DpKind::Bitmap: return "Bitmap";
    case DpKind::Json: return "Json";
    case DpKind::Raw: return "Raw";
    case DpKind::String: return "String";
  }
  return "Integer";
}

Value parse_embedded_json(const Value& v) {
  if (!v.is_string()) return v;
  auto parsed = read_json(v.as_string());
  return parsed.ok() ? std::move(parsed).value() : Value();
}

double pow10_scale(int32_t exponent) {
  double factor = 1.0;
  if (exponent >= 0) {
    for (int32_t i = 0; i < exponent; ++i) {
      factor *= 10.0;
      if (std::isinf(factor)) break;
    }
  } else {
    for (int32_t i = 0; i > exponent; --i) {
      factor *= 0.1;
      if (factor == 0.0) break;
    }
  }
  return factor;
}

double spec_scale_factor(const Value& spec) { return pow10_scale(to_i32(to_number(spec["scale"]))); }

}  // namespace kesvo
