// Device quirks: per-product edits of a device description (DefineDp,
// RemoveDp, SetCategory, TypeOverride), applied before anything else reads
// the description, and the initial-status quirk (MapInitialStatus).
#pragma once

#include "core/json.h"
#include "core/result.h"

namespace kesvo {

// Makes device["function"], device["status_range"] and device["status"]
// objects, in that order: each that is absent or not an object becomes an
// empty object. A device that is not an object becomes one first.
void normalize_device(Value& device);

// Applies the quirk's "ops" (in order, each only when its "when" condition,
// if present, is truthy) to the device description and to `dpmap` (dpid text
// to DP code), both in place. A null quirk, or one without an "ops" array,
// changes nothing. Tables that are absent or null become objects when
// written. Fails with an Invalid error when something that must be written
// into is present but not an object (the device, `dpmap`, a DP table or
// "type_overrides").
Status apply_quirk(Value& device, Value& dpmap, const Value& quirk);

// Applies the quirk's "MapInitialStatus" operations to a status object in
// place: the first mapping pair whose first element loosely equals the
// current value replaces it by the pair's second element. Conditions are not
// evaluated here. A status that is not an object is left as it is.
void apply_status_quirk(Value& status, const Value& quirk);

}  // namespace kesvo
