// Charging produced values against the context budgets, and the size
// pre-check of the copying collection functions.
#include "expr/builtins.h"

namespace kesvo {

namespace expr {

namespace {

enum class WalkStop : uint8_t { None, Nesting, Nodes, Bytes };

// `v` lies `level` array or object levels below the top.
WalkStop walk(const Value& v, uint32_t level, Measure& m) {
  if (level >= kMaxDepth) return WalkStop::Nesting;
  if (++m.nodes > kMaxValueNodes) return WalkStop::Nodes;
  switch (v.type()) {
    case Value::Type::String:
      m.bytes += v.as_string().size();
      if (m.bytes > kMaxValueBytes) return WalkStop::Bytes;
      break;
    case Value::Type::Array:
      for (const Value& e : v.as_array()) {
        WalkStop s = walk(e, level + 1, m);
        if (s != WalkStop::None) return s;
      }
      break;
    case Value::Type::Object:
      for (const Member& member : v.as_object()) {
        m.bytes += member.key.size();
        if (m.bytes > kMaxValueBytes) return WalkStop::Bytes;
        WalkStop s = walk(member.value, level + 1, m);
        if (s != WalkStop::None) return s;
      }
      break;
    default: break;
  }
  return WalkStop::None;
}

Failure<std::string> walk_failure(WalkStop s) {
  switch (s) {
    case WalkStop::Nesting: return fail_limit(kNestingLimit);
    case WalkStop::Nodes: return fail_limit(kValueSizeLimit);
    default: return fail_limit(kTextSizeLimit);
  }
}

}  // namespace

VoidResult measure_value(const Value& v, Measure& m) {
  WalkStop s = walk(v, 0, m);
  if (s != WalkStop::None) return walk_failure(s);
  return {};
}

VoidResult precheck_size(const Args& args) {
  uint64_t total = 0;
  for (const Value& a : args) {
    Measure m;
    WalkStop s = walk(a, 0, m);
    if (s != WalkStop::None) return walk_failure(s);
    total += m.nodes;  // each at most 100,000: no overflow for any argument count in memory
  }
  if (total > kMaxValueNodes) return fail_limit(kValueSizeLimit);
  return {};
}

}  // namespace expr

Result<void, std::string> charge(EvalContext& ctx, const Value& v) {
  using namespace expr;
  uint64_t nodes = 1;
  uint64_t bytes = 0;
  const Value::Type t = v.type();
  if (t == Value::Type::String) {
    bytes = v.as_string().size();
    if (bytes > kMaxValueBytes) return fail_limit(kTextSizeLimit);
  } else if (t == Value::Type::Array || t == Value::Type::Object) {
    Measure m;
    WalkStop s = walk(v, 0, m);
    if (s != WalkStop::None) return walk_failure(s);
    nodes = m.nodes;
    bytes = m.bytes;
  }
  if (ctx.alloc_nodes < nodes || ctx.alloc_bytes < bytes) return fail_limit(kAllocLimit);
  ctx.alloc_nodes -= static_cast<uint32_t>(nodes);
  ctx.alloc_bytes -= static_cast<uint32_t>(bytes);
  return {};
}

}  // namespace kesvo
