// Property command checking.
#include "api/ops.h"

namespace kesvo {

Result<Value> op_check(OpCall& call) { return not_built("check"); }

}  // namespace kesvo
