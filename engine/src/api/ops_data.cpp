// Device-data operations: merging, quirks and device information.
#include <utility>

#include "api/ops.h"
#include "api/request.h"
#include "data/device_info.h"
#include "data/merge.h"
#include "data/quirk.h"

namespace kesvo {

namespace {

// The quirk of a rule-bound request: the request's own "quirk" when present
// and not null, otherwise the rule pack's quirk for the device's product id
// (a device without a string product id looks up the empty key); null when
// there is none.
const Value& select_quirk(const Value& request, const Value& rules, const Value& device) {
  if (req_has(request, "quirk")) return request["quirk"];
  return rules["quirks"][device["product_id"].string_or_empty()];
}

}  // namespace

Result<Value> op_merge(OpCall& call) {
  Value result = Value::object();
  const Value& mappings = call.request["mappings"];
  if (mappings.is_array()) {
    for (const Value& mapping : mappings.as_array()) {
      if (mapping.is_object()) merge_deep(result, mapping);
    }
  }
  return result;
}

Result<Value> op_status_quirk(OpCall& call) {
  Value status = call.request["status"];
  apply_status_quirk(status, call.request["quirk"]);
  return status;
}

Result<Value> op_quirk_schema(OpCall& call) {
  const Value& source = call.request["device"];
  if (!source.is_object()) return fail(ErrorKind::Request, "device must be an object");
  const Value& quirk = select_quirk(call.request, call.rules->document(), source);
  Value device = source;
  normalize_device(device);
  // The device's own dpmap is edited in place; one that is not an object
  // counts as empty.
  Value dpmap;
  if (Value* own = device.find("dpmap"); own && own->is_object()) dpmap = std::move(*own);
  if (!dpmap.is_object()) dpmap = Value::object();
  KESVO_CHECK(apply_quirk(device, dpmap, quirk));
  device.as_object().set("dpmap", std::move(dpmap));
  return device;
}

Result<Value> op_device_info(OpCall& call) {
  const Value& device = call.request["device"];
  const Value& rules = call.rules->document();
  return device_info(device, select_quirk(call.request, rules, device), rules);
}

}  // namespace kesvo
