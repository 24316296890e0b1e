// Entity operations: classification, unused DPs, entity state, actions and
// plan updates.
#include "api/ops.h"

namespace kesvo {

Result<Value> op_classify(OpCall& call) { return not_built("classify"); }
Result<Value> op_unused(OpCall& call) { return not_built("unused"); }
Result<Value> op_read(OpCall& call) { return not_built("read"); }
Result<Value> op_write(OpCall& call) { return not_built("write"); }
Result<Value> op_on_update(OpCall& call) { return not_built("on_update"); }

}  // namespace kesvo
