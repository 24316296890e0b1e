#include "rules/schema.h"

#include <functional>

#include "core/json_reader.h"
#include "core/json_writer.h"
#include "core/platform.h"
#include "core/utf8.h"
#include "core/value_rules.h"

namespace kesvo {

namespace {

// The rule-pack schema. Member order and whitespace are free; the
// constraints and the order of the top-level "required" list are not.
constexpr std::string_view kRulePackSchema = R"JSON({
  "$schema": "https://json-schema.org/draft/2020-12/schema",
  "$id": "urn:kesvo_interpreter:rule-pack:1",
  "title": "Kesvo portable rule pack version 1",
  "type": "object",
  "additionalProperties": false,
  "required": [
    "version", "platforms", "entities", "unused", "templates", "functions", "quirks", "units",
    "host_units", "maps", "features", "constants", "cover_defaults", "cover_switches",
    "motion_property", "strategies"
  ],
  "properties": {
    "version": {"const": 1},
    "platforms": {
      "type": "object",
      "additionalProperties": {
        "type": "object",
        "required": ["table", "categories"],
        "additionalProperties": false,
        "properties": {
          "table": {"type": "string"},
          "categories": {"type": "object"}
        }
      }
    },
    "entities": {"type": "object", "additionalProperties": {"$ref": "#/$defs/entity"}},
    "unused": {
      "type": "object",
      "required": ["role", "variants"],
      "additionalProperties": false,
      "properties": {
        "role": {"type": "string", "minLength": 1},
        "variants": {"type": "array", "items": {"$ref": "#/$defs/unused"}}
      }
    },
    "layout_common": {"type": "object"},
    "identity_defaults": {"type": "object"},
    "templates": {"type": "object"},
    "functions": {"type": "object", "additionalProperties": {"$ref": "#/$defs/function"}},
    "quirks": {"type": "object"},
    "units": {"type": "object"},
    "host_units": {"type": "object"},
    "rw_roles": {"type": "array", "items": {"type": "string"}, "uniqueItems": true},
    "maps": {"type": "object"},
    "features": {"type": "object"},
    "constants": {
      "type": "object",
      "properties": {
        "manufacturer": {"type": "string"},
        "vacuum_return_mode": {"type": "string", "minLength": 1},
        "alarm_non_triggering_messages": {"type": "array", "items": {"type": "string", "minLength": 1}},
        "temperature_unit_dp": {"type": "string", "minLength": 1}
      }
    },
    "cover_defaults": {
      "type": "object",
      "additionalProperties": false,
      "properties": {
        "invert_position": {"type": "boolean"},
        "invert_set_position": {"type": "boolean"},
        "invert_control": {"type": "boolean"},
        "settle": {"type": "number"},
        "invert_tilt": {"type": "boolean"},
        "position_from_target": {"type": "boolean"},
        "state_source": {"enum": [null, "control", "inferred", "none"]},
        "invert_reported_motion": {"type": "boolean"}
      }
    },
    "cover_switches": {
      "type": "object",
      "additionalProperties": false,
      "properties": {
        "invert_position": {"type": "string"},
        "invert_set_position": {"type": "string"},
        "invert_control": {"type": "string"},
        "settle": {"type": "string"},
        "invert_tilt": {"type": "string"},
        "position_from_target": {"type": "string"},
        "state_source": {"type": "string"},
        "invert_reported_motion": {"type": "string"}
      }
    },
    "motion_property": {"type": "object"},
    "strategies": {"type": "array", "items": {"type": "string"}, "uniqueItems": true},
    "wind": {"type": "object"},
    "electricity": {"type": "object"},
    "meter_alarms": {"type": "object"},
    "overrides": {"type": "object", "additionalProperties": {"type": "object"}}
  },
  "$defs": {
    "entity": {
      "type": "object",
      "additionalProperties": false,
      "properties": {
        "params": {"type": "object"},
        "composite": {"type": "boolean"},
        "kind": {"type": "string", "minLength": 1},
        "expose": {"type": "boolean"},
        "update_all": {"type": "boolean"},
        "hazard": {},
        "role_order": {"type": "array", "items": {"type": "string"}, "uniqueItems": true},
        "cover": {"$ref": "#/$defs/cover"},
        "variants": {},
        "state": {},
        "actions": {"type": "object"},
        "layout": {},
        "finish": {}
      }
    },
    "cover": {
      "type": "object",
      "required": ["position", "target", "instruction", "tilt", "words"],
      "additionalProperties": false,
      "properties": {
        "position": {"type": "array", "items": {"type": "string"}},
        "target": {"type": "string"},
        "instruction": {"type": "string"},
        "tilt": {"type": "string"},
        "words": {"type": "array", "items": {"type": "string"}}
      }
    },
    "unused": {
      "type": "object",
      "required": ["when", "platform", "steps"],
      "additionalProperties": false,
      "properties": {
        "when": {},
        "platform": {"type": "string", "minLength": 1},
        "steps": {}
      }
    },
    "function": {
      "type": "object",
      "required": ["params", "body"],
      "additionalProperties": false,
      "properties": {
        "params": {"type": "array", "items": {"type": "string"}, "uniqueItems": true},
        "body": {}
      }
    }
  }
})JSON";

SchemaNode::Type parse_type(std::string_view t) {
  using T = SchemaNode::Type;
  if (t == "object") return T::Object;
  if (t == "array") return T::Array;
  if (t == "string") return T::String;
  if (t == "number") return T::Number;
  if (t == "boolean") return T::Boolean;
  return T::Never;  // any other type name never matches
}

bool has_type(const Value& v, SchemaNode::Type t) {
  using T = SchemaNode::Type;
  switch (t) {
    case T::Any: return true;
    case T::Object: return v.is_object();
    case T::Array: return v.is_array();
    case T::String: return v.is_string();
    case T::Number: return v.is_number();
    case T::Boolean: return v.is_bool();
    case T::Never: return false;
  }
  return false;
}

// A hash consistent with strict_equal: integers by value, floats by value
// (so -0.0 and 0.0 agree), objects regardless of member order.
size_t value_hash(const Value& v) {
  auto mix = [](size_t h) {
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    return h;
  };
  switch (v.type()) {
    case Value::Type::Null: return 0x9e37;
    case Value::Type::Bool: return v.as_bool() ? 0x51 : 0x50;
    case Value::Type::UInt: return mix(v.as_uint() ^ 0x1111);
    case Value::Type::Int: return mix(static_cast<uint64_t>(v.as_int()) ^ 0x1111);
    case Value::Type::Double: {
      const double d = v.as_double() == 0 ? 0.0 : v.as_double();
      return mix(std::hash<double>{}(d) ^ 0x2222);
    }
    case Value::Type::String: return std::hash<std::string_view>{}(v.as_string());
    case Value::Type::Array: {
      size_t h = 0x3333;
      for (const Value& item : v.as_array()) h = mix(h * 31 + value_hash(item));
      return h;
    }
    case Value::Type::Object: {
      size_t h = 0x4444;
      for (const Member& m : v.as_object()) h += mix(std::hash<std::string_view>{}(m.key) * 7 + value_hash(m.value));
      return h;
    }
  }
  return 0;
}

// Arrays up to this size are checked for duplicates pairwise.
constexpr size_t kPairwiseUniqueLimit = 16;

class Validator {
 public:
  explicit Validator(std::string_view base) : base_(base) { segments_.reserve(16); }

  Result<void, std::string> run(const Value& v, const SchemaNode* n) {
    if (n->bad_ref) return fail_msg("invalid schema reference");
    if (!has_type(v, n->type)) return failure(": expected " + to_json(*n->type_value));
    if (n->const_value && !strict_equal(v, *n->const_value)) return failure(": expected " + to_json(*n->const_value));
    if (n->enum_items) {
      bool found = false;
      for (const Value& item : *n->enum_items) {
        if (strict_equal(v, item)) {
          found = true;
          break;
        }
      }
      if (!found) return failure(": unsupported value " + to_json(v));
    }
    switch (v.type()) {
      case Value::Type::String:
        if (n->has_min_length && utf8_length(v.as_string()) < n->min_length) return failure(": string too short");
        return {};
      case Value::Type::Object: return run_object(v.as_object(), n);
      case Value::Type::Array: return run_array(v.as_array(), n);
      default: return {};
    }
  }

 private:
  struct Segment {
    const std::string* key;  // null for an array index
    size_t index;
  };

  Result<void, std::string> run_object(const Object& o, const SchemaNode* n) {
    if (n->required) {
      for (const Value& name : *n->required) {
        if (!name.is_string()) return fail_msg("invalid schema required field");
        if (!o.contains(name.as_string())) return failure(": missing " + to_json(name));
      }
    }
    for (const Member& m : o) {
      const SchemaNode* child = nullptr;
      if (n->properties) {
        const size_t i = n->properties->index_of(m.key);
        if (i != Object::npos) child = n->property_nodes[i];
      }
      if (!child) {
        if (n->additional == SchemaNode::Additional::Check) {
          child = n->additional_node;
        } else if (n->additional == SchemaNode::Additional::Reject) {
          return failure(": unknown field " + m.key);
        } else {
          continue;
        }
      }
      segments_.push_back({&m.key, 0});
      auto r = run(m.value, child);
      if (!r.ok()) return r;
      segments_.pop_back();
    }
    return {};
  }

  Result<void, std::string> run_array(const Array& a, const SchemaNode* n) {
    if (a.empty()) return {};
    const bool hashed = n->unique_items && a.size() > kPairwiseUniqueLimit;
    std::unordered_multimap<size_t, size_t> seen;  // item hash to index, for long arrays
    if (hashed) seen.reserve(a.size());
    for (size_t i = 0; i < a.size(); ++i) {
      if (n->items) {
        segments_.push_back({nullptr, i});
        auto r = run(a[i], n->items);
        if (!r.ok()) return r;
        segments_.pop_back();
      }
      if (!n->unique_items) continue;
      bool duplicate = false;
      if (!hashed) {
        for (size_t j = 0; j < i && !duplicate; ++j) duplicate = strict_equal(a[i], a[j]);
      } else {
        const size_t h = value_hash(a[i]);
        auto [lo, hi] = seen.equal_range(h);
        for (auto it = lo; it != hi && !duplicate; ++it) duplicate = strict_equal(a[i], a[it->second]);
        seen.emplace(h, i);
      }
      if (duplicate) return failure(": duplicate item");
    }
    return {};
  }

  // "rules " + path + suffix; the path is built only now.
  Failure<std::string> failure(std::string_view suffix) const {
    std::string msg = "rules ";
    msg += base_;
    for (const Segment& s : segments_) {
      msg += '/';
      if (s.key) {
        msg += *s.key;
      } else {
        msg += std::to_string(s.index);
      }
    }
    msg += suffix;
    return fail_msg(std::move(msg));
  }

  std::string_view base_;
  std::vector<Segment> segments_;
};

}  // namespace

CompiledSchema::CompiledSchema(Value root) : root_(std::move(root)) {
  bad_ref_node_.bad_ref = true;
  root_node_ = compile(root_);
}

const Value* CompiledSchema::resolve_pointer(std::string_view pointer) const {
  const Value* cur = &root_;
  if (pointer.empty()) return cur;
  if (pointer.front() != '/') return nullptr;
  size_t pos = 1;
  while (true) {
    const size_t end = pointer.find('/', pos);
    const std::string_view raw = pointer.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
    // Unescape "~1" to "/" and "~0" to "~"; any other "~" is malformed.
    std::string token;
    token.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
      if (raw[i] != '~') {
        token += raw[i];
        continue;
      }
      if (i + 1 >= raw.size() || (raw[i + 1] != '0' && raw[i + 1] != '1')) return nullptr;
      token += raw[i + 1] == '0' ? '~' : '/';
      ++i;
    }
    if (cur->is_object()) {
      cur = cur->find(token);
    } else if (cur->is_array()) {
      // Array indices: decimal without leading zeros.
      if (token.empty() || token.size() > 18 || (token.size() > 1 && token[0] == '0')) return nullptr;
      size_t index = 0;
      for (char c : token) {
        if (c < '0' || c > '9') return nullptr;
        index = index * 10 + static_cast<size_t>(c - '0');
      }
      if (index >= cur->as_array().size()) return nullptr;
      cur = &cur->as_array()[index];
    } else {
      return nullptr;
    }
    if (!cur) return nullptr;
    if (end == std::string_view::npos) return cur;
    pos = end + 1;
  }
}

const SchemaNode* CompiledSchema::compile(const Value& node) {
  // Follow "$ref" chains to the node they end at. A chain that comes back to
  // a node it already passed would never end: it counts as unresolvable.
  const Value* cur = &node;
  std::vector<const Value*> passed;
  while (true) {
    const Value* ref = cur->find("$ref");
    if (!ref || !ref->is_string()) break;
    for (const Value* p : passed) {
      if (p == cur) return &bad_ref_node_;
    }
    passed.push_back(cur);
    std::string_view pointer = ref->as_string();
    while (!pointer.empty() && pointer.front() == '#') pointer.remove_prefix(1);
    cur = resolve_pointer(pointer);
    if (!cur) return &bad_ref_node_;
  }
  return compile_resolved(*cur);
}

const SchemaNode* CompiledSchema::compile_resolved(const Value& node) {
  if (auto it = memo_.find(&node); it != memo_.end()) return it->second;
  SchemaNode& n = nodes_.emplace_back();
  memo_.emplace(&node, &n);  // before the children: schemas may be recursive
  if (!node.is_object()) return &n;

  if (const Value* t = node.find("type"); t && t->is_string()) {
    n.type = parse_type(t->as_string());
    n.type_value = t;
  }
  n.const_value = node.find("const");
  if (const Value* e = node.find("enum"); e && e->is_array()) n.enum_items = &e->as_array();
  if (const Value* m = node.find("minLength"); m && m->is_uint()) {
    n.has_min_length = true;
    n.min_length = m->as_uint();
  }
  if (const Value* r = node.find("required"); r && r->is_array()) n.required = &r->as_array();
  if (const Value* p = node.find("properties"); p && p->is_object()) {
    n.properties = &p->as_object();
    n.property_nodes.reserve(n.properties->size());
    for (const Member& m : *n.properties) n.property_nodes.push_back(compile(m.value));
  }
  if (const Value* a = node.find("additionalProperties")) {
    if (a->is_object()) {
      n.additional = SchemaNode::Additional::Check;
      n.additional_node = compile(*a);
    } else if (a->is_bool() && !a->as_bool()) {
      n.additional = SchemaNode::Additional::Reject;
    }
  }
  if (const Value* i = node.find("items")) n.items = compile(*i);
  if (const Value* u = node.find("uniqueItems"); u && u->is_bool() && u->as_bool()) n.unique_items = true;
  return &n;
}

const SchemaNode* CompiledSchema::without_required(const SchemaNode* node) {
  if (node->bad_ref || !node->required) return node;
  SchemaNode& n = nodes_.emplace_back(*node);
  n.required = nullptr;
  return &n;
}

Result<void, std::string> validate(const Value& value, const SchemaNode* node, std::string_view path) {
  Validator v(path);
  return v.run(value, node);
}

Result<void, std::string> validate(const Value& value, const Value& node, const Value& root, std::string_view path) {
  CompiledSchema schema(root);
  // The compiled graph points into `node` itself; references lead into the
  // schema's copy of `root`.
  return validate(value, schema.compile(node), path);
}

std::string_view embedded_schema_text() { return kRulePackSchema; }

const EmbeddedSchema& embedded_schema() {
  static OnceFlag once;
  static EmbeddedSchema embedded;
  once.call([] {
    auto parsed = read_json(kRulePackSchema);
    if (!parsed.ok()) {
      embedded.parse_error = parsed.error();
      return;
    }
    embedded.schema = std::make_unique<CompiledSchema>(std::move(parsed).value());
    embedded.full = embedded.schema->root();
    const Value& doc = embedded.schema->document();
    // A root that is itself a reference is replaced as a whole; removing
    // its "required" member would change nothing.
    const Value* root_ref = doc.find("$ref");
    embedded.relaxed = root_ref && root_ref->is_string() ? embedded.full : embedded.schema->without_required(embedded.full);
    if (const Value* required = doc.find("required"); required && required->is_array()) {
      for (const Value& name : required->as_array()) {
        if (name.is_string()) embedded.required_names.push_back(name.as_string());
      }
    }
  });
  return embedded;
}

}  // namespace kesvo
