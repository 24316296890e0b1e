#include "core/json_messages.h"

#include "core/json_writer.h"

namespace kesvo {

std::string_view json_type_phrase(const Value& v) {
  switch (v.type()) {
    case Value::Type::Null: return "null";
    case Value::Type::Bool: return "a boolean";
    case Value::Type::UInt:
    case Value::Type::Int:
    case Value::Type::Double: return "a number";
    case Value::Type::String: return "a string";
    case Value::Type::Array: return "an array";
    case Value::Type::Object: return "an object";
  }
  return "null";
}

std::string json_quoted(std::string_view s) {
  std::string out;
  write_json_string(s, out);
  return out;
}

std::string missing_field_message(std::string_view name) { return "missing field `" + std::string(name) + "`"; }

}  // namespace kesvo
