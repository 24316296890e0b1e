#include "entity/classify.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "adapter/adapter.h"
#include "core/value_rules.h"
#include "data/dp_codec.h"
#include "data/dp_kind.h"
#include "data/merge.h"
#include "entity/step_statements.h"
#include "expr/eval.h"

namespace kesvo {

namespace {

// Groups may nest at most this deep (templates can make a group contain
// itself), and one entry may try at most this many variants in all.
constexpr uint32_t kMaxGroupDepth = kMaxDepth;
constexpr uint64_t kMaxVariantTries = kStepBudget;

// One category entry being classified.
struct Walk {
  const Value& rules;
  const Value& device;
  const Value& definition;
  const std::string& platform;
  EvalContext& ctx;
  std::vector<Plan>& out;
  HeldVariables held;
  uint64_t tries = 0;
};

using Matched = Result<bool, std::string>;

Matched try_variant(Walk& w, const Value& raw, uint32_t depth);

// Tries the variants in order; the first that matches ends the list.
Matched try_variants(Walk& w, const Value& variants, uint32_t depth) {
  if (!variants.is_array()) return false;
  for (const Value& v : variants.as_array()) {
    if (KESVO_TRY(try_variant(w, v, depth))) return true;
  }
  return false;
}

// A group: its nested variants, once or for every element of "each". It
// matches when some nested variant matched.
Matched try_group(Walk& w, const Value& variant, const Value& nested, uint32_t depth) {
  const Value& list = resolve_use(w.rules, nested);
  const Value* each = variant.find("each");
  if (!each) return try_variants(w, list, depth + 1);

  Value items = KESVO_TRY(evaluate(w.ctx, *each));
  const Value* as = variant.find("as");
  const std::string name(as ? as->string_or_empty() : std::string_view("item"));
  bool matched = false;
  if (!items.is_array()) return false;
  for (Value& item : items.as_array()) {
    // The element and everything bound while trying it go out of scope
    // before the next element.
    ScopeMark mark(w.ctx);
    w.ctx.bind(name, std::move(item));
    if (KESVO_TRY(try_variants(w, list, depth + 1))) matched = true;
  }
  return matched;
}

// A leaf: the steps and the definition's "finish" run as spec programs; when
// neither stops, the variables make a plan.
Matched try_leaf(Walk& w, const Value& variant) {
  std::string key;
  Value identity;
  {
    const Value* desc = w.ctx.lookup("desc");
    const Value& d = desc ? *desc : Value::null_value();
    key = std::string(d["key"].string_or_empty());
    identity = merge_shallow(d, w.rules["identity_defaults"]);
  }
  SpecRun run(w.rules, w.device, w.held);
  run.bind_working(w.ctx, std::move(identity), Value::object(), Value::object());
  if (KESVO_TRY(run.run(w.ctx, resolve_use(w.rules, variant["steps"]))) == ProgramFlow::Stop) return false;
  if (KESVO_TRY(run.run(w.ctx, resolve_use(w.rules, w.definition["finish"]))) == ProgramFlow::Stop) return false;
  w.out.push_back(run.build_plan(w.ctx, w.platform, std::move(key), &w.definition));
  return true;
}

Matched try_variant(Walk& w, const Value& raw, uint32_t depth) {
  if (depth >= kMaxGroupDepth) return fail_msg("rule nesting limit exceeded");
  if (++w.tries > kMaxVariantTries) return fail_msg("rule evaluation limit exceeded");
  const Value& variant = resolve_use(w.rules, raw);
  if (const Value* when = variant.find("when")) {
    const Value v = KESVO_TRY(evaluate(w.ctx, *when));
    if (!truthy(v)) return false;
  }
  if (const Value* nested = variant.find("variants")) return try_group(w, variant, *nested, depth);
  return try_leaf(w, variant);
}

// Classifies one category entry of a platform.
Result<void, std::string> classify_entry(const Value& rules, const Value& device, const Value& env,
                                         const std::string& platform, const Value& definition, const Value& entry,
                                         std::vector<Plan>& out) {
  EvalContext ctx(&rules["functions"]);
  ctx.bind_stable_ref("rules", rules);
  ctx.bind_stable_ref("entity", definition);
  ctx.bind_stable_ref("device", device);
  ctx.bind_stable_ref("status", device["status"]);
  ctx.bind_stable_ref("env", env);
  ctx.bind_stable_ref("desc", entry);
  ctx.bind_stable("key", entry["key"]);
  const Value& variants = resolve_use(rules, definition["variants"]);
  if (!variants.is_array()) return {};
  Walk w{rules, device, definition, platform, ctx, out, {}, 0};
  KESVO_TRY(try_variants(w, variants, 0));
  return {};
}

bool listed(const std::vector<std::string>& names, std::string_view name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// A dpid that is an unsigned decimal integer: an optional "+", then only
// digits, below 2^64.
std::optional<uint64_t> dpid_number(std::string_view key) {
  size_t i = 0;
  if (i < key.size() && key[i] == '+') ++i;
  if (i == key.size()) return std::nullopt;
  uint64_t n = 0;
  for (; i < key.size(); ++i) {
    const char c = key[i];
    if (c < '0' || c > '9') return std::nullopt;
    const auto digit = static_cast<uint64_t>(c - '0');
    if (n > (UINT64_MAX - digit) / 10) return std::nullopt;
    n = n * 10 + digit;
  }
  return n;
}

// The entries in dpid order: decimal dpids by value (equal values by the
// key text), then the other keys in byte order.
std::vector<const Member*> entries_by_dpid(const Object& entries) {
  struct Keyed {
    std::optional<uint64_t> number;
    const Member* member;
  };
  std::vector<Keyed> keyed;
  keyed.reserve(entries.size());
  for (const Member& m : entries) keyed.push_back(Keyed{dpid_number(m.key), &m});
  std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
    if (a.number.has_value() != b.number.has_value()) return a.number.has_value();
    if (a.number && *a.number != *b.number) return *a.number < *b.number;
    return a.member->key < b.member->key;
  });
  std::vector<const Member*> out;
  out.reserve(keyed.size());
  for (const Keyed& k : keyed) out.push_back(k.member);
  return out;
}

// The role of an unused DP, or nothing when its description names no kind
// or an Integer, Enum or Bitmap DP has a falsy spec.
std::optional<Role> unused_role(const Value& device, const std::string& code, const Value& config) {
  const Value* description = device["status_range"].find(code);
  if (!description) description = device["function"].find(code);
  std::optional<DpKind> kind;
  Value spec;
  Value report_type;
  if (description) {
    kind = parse_kind((*description)["type"]);
    spec = parse_embedded_json((*description)["values"]);
    report_type = (*description)["report_type"];
  } else {
    // A DP known only from the device's local strategy.
    const Value* type = config.find("valueType");
    kind = type ? parse_kind(*type) : DpKind::String;
    spec = parse_embedded_json(config["valueDesc"]);
  }
  if (!kind) return std::nullopt;
  if ((*kind == DpKind::Integer || *kind == DpKind::Enum || *kind == DpKind::Bitmap) && !truthy(spec)) {
    return std::nullopt;
  }
  return Role{code, *kind, std::move(spec), std::move(report_type)};
}

}  // namespace

Result<std::vector<Plan>> classify(const Value& rules, const Value& device, const Value& env,
                                   const std::vector<std::string>* platforms) {
  std::vector<Plan> out;
  const Value& all = rules["platforms"];
  if (!all.is_object()) return out;
  const std::string_view category = device["category"].string_or_empty();
  const Value& entities = rules["entities"];
  for (const Member& p : all.as_object()) {
    if (platforms && !listed(*platforms, p.key)) continue;
    const Value* entry = p.value["categories"].find(category);
    if (!entry || !(entry->is_object() || entry->is_array())) continue;
    const Value* definition = entities.find(p.key);
    if (!definition) continue;
    auto visit = [&](const Value& e) -> Result<void> {
      auto r = classify_entry(rules, device, env, p.key, *definition, e, out);
      if (!r.ok()) return fail(ErrorKind::Invalid, std::move(r).error());
      return {};
    };
    if (entry->is_object()) {
      KESVO_CHECK(visit(*entry));
    } else {
      for (const Value& e : entry->as_array()) KESVO_CHECK(visit(e));
    }
  }
  return out;
}

Result<void> plan_unused(const Value& rules, const Value& device, const Object& entries, std::vector<Plan>& plans,
                         std::span<const std::string> excluded) {
  std::vector<std::string> consumed(excluded.begin(), excluded.end());
  const Value& entities = rules["entities"];
  for (const Plan& plan : plans) {
    const Value* definition = entities.find(plan.platform);
    if (definition) {
      const Value& expose = resolve_use(rules, (*definition)["expose"]);
      if (expose.is_bool() && !expose.as_bool()) continue;
    }
    consumed.insert(consumed.end(), plan.depends_on.begin(), plan.depends_on.end());
  }

  const Value& unused = rules["unused"];
  const std::string role_name(unused["role"].string_or_empty());
  const Value& variants = unused["variants"];
  const Value& status = device["status"];
  for (const Member* m : entries_by_dpid(entries)) {
    const std::string code(entry_code(m->value));
    if (listed(consumed, code)) continue;
    consumed.push_back(code);

    std::optional<Role> role = unused_role(device, code, entry_config(m->value));
    if (!role || !variants.is_array()) continue;

    EvalContext ctx(&rules["functions"]);
    ctx.bind_stable_ref("rules", rules);
    ctx.bind_stable_ref("device", device);
    ctx.bind_stable_ref("status", status);
    ctx.bind_stable("code", Value(code));
    ctx.bind_stable("kind", Value(kind_name(role->kind)));
    ctx.bind_stable("rw", Value(device["function"].find(code) != nullptr));

    const Value* taken = nullptr;
    for (const Value& item : variants.as_array()) {
      const Value* when = item.find("when");
      ExprResult v = evaluate(ctx, when ? *when : Value::null_value());
      if (!v.ok()) return fail(ErrorKind::Invalid, std::move(v).error());
      if (truthy(v.value())) {
        taken = &item;
        break;
      }
    }
    if (!taken) continue;

    Object roles_v;
    roles_v.set(role_name, describe_role(*role));
    Object values_v;
    values_v.set(role_name, decode_dp(*role, status));
    HeldVariables held;
    SpecRun run(rules, device, held);
    run.record_role(role_name, std::move(*role));
    run.bind_working(ctx, Value::object(), Value(std::move(roles_v)), Value(std::move(values_v)));
    FlowResult flow = run.run(ctx, resolve_use(rules, (*taken)["steps"]));
    if (!flow.ok()) return fail(ErrorKind::Invalid, std::move(flow).error());
    if (flow.value() == ProgramFlow::Stop) continue;
    plans.push_back(run.build_plan(ctx, std::string((*taken)["platform"].string_or_empty()), code, nullptr));
  }
  return {};
}

}  // namespace kesvo
