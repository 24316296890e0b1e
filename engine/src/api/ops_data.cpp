// Device-data operations: merging, quirks and device information.
#include "api/ops.h"
#include "data/merge.h"

namespace kesvo {

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

Result<Value> op_status_quirk(OpCall& call) { return not_built("status_quirk"); }
Result<Value> op_quirk_schema(OpCall& call) { return not_built("quirk_schema"); }
Result<Value> op_device_info(OpCall& call) { return not_built("device_info"); }

}  // namespace kesvo
