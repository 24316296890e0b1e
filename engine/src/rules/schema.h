// The JSON Schema subset that validates rule packs, and the rule-pack schema
// embedded in the library.
//
// Supported keywords: $ref (a JSON Pointer into the root schema, leading "#"
// characters dropped), type, const, enum, minLength (in Unicode scalar
// values), required, properties, additionalProperties, items, uniqueItems.
// Everything else in a schema node is plain data.
//
// A schema is compiled once into a graph of nodes whose references are
// already resolved into pointers, so validating a document walks the value
// and the graph without any lookups by name beyond the member names
// themselves. Paths are kept as a stack of segments and only turned into
// text when a failure is reported.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/json.h"
#include "core/result.h"

namespace kesvo {

struct SchemaNode {
  enum class Type : uint8_t { Any, Object, Array, String, Number, Boolean, Never };
  enum class Additional : uint8_t { Accept, Reject, Check };

  // A "$ref" that does not resolve (or only leads back to itself): reaching
  // the node fails with "invalid schema reference".
  bool bad_ref = false;
  Type type = Type::Any;
  const Value* type_value = nullptr;  // the "type" keyword, for messages
  const Value* const_value = nullptr;
  const Array* enum_items = nullptr;
  bool has_min_length = false;
  uint64_t min_length = 0;
  const Array* required = nullptr;
  const Object* properties = nullptr;
  std::vector<const SchemaNode*> property_nodes;  // parallel to `properties`
  Additional additional = Additional::Accept;
  const SchemaNode* additional_node = nullptr;
  const SchemaNode* items = nullptr;
  bool unique_items = false;
};

// A compiled schema. Owns a copy of its root document; nodes point into it.
class CompiledSchema {
 public:
  explicit CompiledSchema(Value root);
  CompiledSchema(const CompiledSchema&) = delete;
  CompiledSchema& operator=(const CompiledSchema&) = delete;

  const Value& document() const { return root_; }
  // The node of the root document.
  const SchemaNode* root() const { return root_node_; }
  // Compiles `node` (a value inside the root document or any other value that
  // outlives this schema); its references resolve in the root document.
  const SchemaNode* compile(const Value& node);
  // A node of its own: a copy of `node` without its "required" list. Its
  // children are shared with `node`.
  const SchemaNode* without_required(const SchemaNode* node);

 private:
  const SchemaNode* compile_resolved(const Value& node);
  const Value* resolve_pointer(std::string_view pointer) const;

  Value root_;
  std::deque<SchemaNode> nodes_;
  std::unordered_map<const Value*, const SchemaNode*> memo_;
  SchemaNode bad_ref_node_;
  const SchemaNode* root_node_ = nullptr;
};

// Validates `value` against a compiled node; `path` is the value's path (the
// empty path for a whole document). Returns the first failure's message.
Result<void, std::string> validate(const Value& value, const SchemaNode* node, std::string_view path = {});

// Validates `value` against the schema node `node`, resolving references in
// `root`. Compiles the schema on every call: for one-off checks and tests;
// the rule-pack path uses the embedded schema, compiled once.
Result<void, std::string> validate(const Value& value, const Value& node, const Value& root,
                                   std::string_view path = {});

// The rule-pack schema embedded in the library, parsed and compiled on first
// use (thread-safe, once per process).
struct EmbeddedSchema {
  // The parse message when the embedded text does not parse; then nothing
  // else is set.
  std::string parse_error;
  std::unique_ptr<CompiledSchema> schema;
  const SchemaNode* full = nullptr;
  // The schema without its top-level "required" list; references still
  // resolve in the full schema.
  const SchemaNode* relaxed = nullptr;
  // The top-level "required" names, in order (empty when the schema has none).
  std::vector<std::string_view> required_names;
};

const EmbeddedSchema& embedded_schema();

// The embedded schema's JSON text.
std::string_view embedded_schema_text();

}  // namespace kesvo
