// The device information record shown to the host: manufacturer, model and
// model id, taken from the quirk's product identity when it names a
// manufacturer, otherwise from the rule pack and the device description.
#pragma once

#include "core/json.h"

namespace kesvo {

// {"manufacturer", "model", "model_id"}, in this order. With a truthy
// quirk["meta"]["manufacturer"] the three come from the quirk's "meta";
// otherwise from rules["constants"]["manufacturer"], device["product_name"]
// and device["product_id"]. Absent values are null.
Value device_info(const Value& device, const Value& quirk, const Value& rules);

}  // namespace kesvo
