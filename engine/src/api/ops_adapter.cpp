// Value-adapter and strategy operations.
#include "api/ops.h"

namespace kesvo {

Result<Value> op_adapter_write(OpCall& call) { return not_built("adapter_write"); }
Result<Value> op_strategy_write(OpCall& call) { return not_built("strategy_write"); }
Result<Value> op_adapter_create(OpCall& call) { return not_built("adapter_create"); }
Result<Value> op_adapter_read(OpCall& call) { return not_built("adapter_read"); }
Result<Value> op_strategy_read(OpCall& call) { return not_built("strategy_read"); }

}  // namespace kesvo
