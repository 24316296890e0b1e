// The process-wide table of live drivers: handle -> shared, individually
// locked driver. One lock guards the map and the handle counter and is held
// only for a lookup, an insertion or a removal. Handles are issued from 1
// upwards and never reused within the process.
#pragma once

#include <cstdint>
#include <unordered_map>

#include "core/platform.h"
#include "core/result.h"

namespace kesvo {

// A live driver; defined by the driver core. The table only stores shared
// references to it.
struct LiveDriver;

class DriverTable {
 public:
  // Stores the driver under a new handle and returns the handle.
  Result<uint64_t> insert(Shared<LiveDriver> driver);
  // The driver under `handle`, or null when none is open.
  Result<Shared<LiveDriver>> find(uint64_t handle);
  // Removes the handle: whether an entry was removed.
  Result<bool> remove(uint64_t handle);

  static DriverTable& instance();

 private:
  Mutex lock_;
  std::unordered_map<uint64_t, Shared<LiveDriver>> drivers_;
  uint64_t counter_ = 0;
};

}  // namespace kesvo
