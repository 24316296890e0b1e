// Driver operations: carried drivers (state travels in the request) and live
// drivers (kept in the driver table under a handle).
#include "api/driver_table.h"
#include "api/ops.h"

namespace kesvo {

Result<Value> op_carry(OpCall& call) { return not_built("carry"); }
Result<Value> op_settings(OpCall& call) { return not_built("settings"); }
Result<Value> op_create(OpCall& call) { return not_built("create"); }
Result<Value> op_handle(OpCall& call) { return not_built("handle"); }
Result<Value> op_open(OpCall& call) { return not_built("open"); }
Result<Value> op_drive(OpCall& call) { return not_built("drive"); }
Result<Value> op_view(OpCall& call) { return not_built("view"); }
Result<Value> op_snapshot(OpCall& call) { return not_built("snapshot"); }
Result<Value> op_carry_handle(OpCall& call) { return not_built("carry_handle"); }

Result<Value> op_close(OpCall& call) {
  // The dispatcher resolved the handle (an unknown one has already failed);
  // drop our reference before removing, so the driver is released with the
  // last running operation that still holds it.
  call.driver.reset();
  const bool removed = KESVO_TRY(DriverTable::instance().remove(call.handle));
  return Value(removed);
}

}  // namespace kesvo
