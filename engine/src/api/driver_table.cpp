#include "api/driver_table.h"

namespace kesvo {

namespace {
constexpr const char* kPoisoned = "driver registry poisoned";
}

DriverTable& DriverTable::instance() {
  static DriverTable table;
  return table;
}

Result<uint64_t> DriverTable::insert(Shared<LiveDriver> driver) {
  LockGuard guard(lock_);
  if (!guard.ok()) return fail(ErrorKind::Request, kPoisoned);
  const uint64_t handle = ++counter_;
  drivers_.emplace(handle, std::move(driver));
  return handle;
}

Result<Shared<LiveDriver>> DriverTable::find(uint64_t handle) {
  LockGuard guard(lock_);
  if (!guard.ok()) return fail(ErrorKind::Request, kPoisoned);
  auto it = drivers_.find(handle);
  if (it == drivers_.end()) return Shared<LiveDriver>();
  return it->second;
}

Result<bool> DriverTable::remove(uint64_t handle) {
  Shared<LiveDriver> removed;  // the driver is released after the lock
  LockGuard guard(lock_);
  if (!guard.ok()) return fail(ErrorKind::Request, kPoisoned);
  auto it = drivers_.find(handle);
  if (it == drivers_.end()) return false;
  removed = std::move(it->second);
  drivers_.erase(it);
  return true;
}

}  // namespace kesvo
