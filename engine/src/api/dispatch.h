// Request dispatch: decodes "op", resolves the rule pack or the driver handle
// the operation needs, and runs it.
#pragma once

#include "core/json.h"
#include "core/result.h"

namespace kesvo {

Result<Value> dispatch(const Value& request);

}  // namespace kesvo
