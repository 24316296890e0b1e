#include "data/device_info.h"

#include "core/value_rules.h"

namespace kesvo {

Value device_info(const Value& device, const Value& quirk, const Value& rules) {
  const Value& meta = quirk["meta"];
  Object record;
  record.reserve(3);
  if (truthy(meta["manufacturer"])) {
    record.append_new("manufacturer", meta["manufacturer"]);
    record.append_new("model", meta["model"]);
    record.append_new("model_id", meta["model_id"]);
  } else {
    record.append_new("manufacturer", rules["constants"]["manufacturer"]);
    record.append_new("model", device["product_name"]);
    record.append_new("model_id", device["product_id"]);
  }
  return Value(std::move(record));
}

}  // namespace kesvo
