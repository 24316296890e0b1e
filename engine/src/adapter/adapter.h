// The value adapter: a device's table of per-DP value conversions, built
// once from the device description and the rule pack and carried by the
// host. Reading turns a batch of reported DP values (by dpid) into engine
// values (by DP code); writing turns commands (by DP code) into raw DP
// values (by dpid). Per-code remaps invert values and alias words.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "core/json.h"
#include "core/result.h"

namespace kesvo {

// The four tables, each an insertion-ordered object:
//   entries      dpid text -> [code, strategy, config] (exactly three
//                elements, code and strategy strings)
//   enum_ranges  DP code -> the DP's enumeration range (any JSON value)
//   unsupported  dpid text -> strategy name the rule pack does not support
//   remaps       DP code -> remap object {"invert", "bounds", "alias"}
struct Adapter {
  Object entries;
  Object enum_ranges;
  Object unsupported;
  Object remaps;
};

// Read access to the four tables of an adapter without owning them: an
// Adapter, or an adapter's JSON form inside a request.
struct AdapterView {
  const Object* entries;
  const Object* enum_ranges;
  const Object* unsupported;
  const Object* remaps;
};

inline AdapterView view(const Adapter& a) { return {&a.entries, &a.enum_ranges, &a.unsupported, &a.remaps}; }

// The elements of a checked entry.
inline std::string_view entry_code(const Value& entry) { return entry.at(0).string_or_empty(); }
inline std::string_view entry_strategy(const Value& entry) { return entry.at(1).string_or_empty(); }
inline const Value& entry_config(const Value& entry) { return entry.at(2); }

// The JSON form: an object with the members "entries", "enum_ranges",
// "unsupported" and "remaps", in this order.
Value adapter_to_json(const Adapter& adapter);
Value adapter_to_json(Adapter&& adapter);

// Reads the JSON form back. All four members are required; entries must be
// [code, strategy, config] arrays with string code and strategy,
// "unsupported" values strings and remaps objects. Unknown members are
// ignored. Failures are messages such as "missing field `remaps`".
Result<Adapter, std::string> adapter_from_json(const Value& json);

// The same checks, answering a view into `json` (which must outlive it).
Result<AdapterView, std::string> adapter_view_from_json(const Value& json);

// An entry table alone (the form of the adapter member "entries"), checked
// as above: a copy, or a pointer into `json`.
Result<Object, std::string> entries_from_json(const Value& json);
Result<const Object*, std::string> entries_view_from_json(const Value& json);

// Builds the adapter of a device: one entry per local strategy that names a
// DP code (strategies the rule pack does not list fall back to "default"
// and are recorded in "unsupported"), a "default" entry for every further
// dpid of `dpmap`, and the enumeration range of every Enum DP the device
// reports. No remaps.
Adapter adapter_create(const Value& device, const Value& dpmap, const Value& rules);

// Reads reported DP values (dpid text -> raw value) into an object of DP
// code -> engine value. Never fails: DPs without an entry, failed
// conversions and values outside their enumeration range are left out.
Value adapter_read(AdapterView adapter, const Value& dps, const Value& rules);

// Writes commands ({"code", "value"} objects; anything but an array means
// none) into an object of dpid text -> raw value. Fails with Unsupported
// "no dp for {code}" for a code no entry feeds, with Unsupported "no dp for
// command" when nothing was written, and with the strategy's own error.
Result<Value> adapter_write(AdapterView adapter, const Value& commands);
Result<Value> adapter_write(AdapterView adapter, std::span<const Value* const> commands);

// Records the raw bounds [min, max] of an Integer DP in remaps[code]
// ("bounds"), from the DP's description in "status_range" or else
// "function". Other kinds change nothing.
void set_remap_bounds(Adapter& adapter, std::string_view code, const Value& device);

// The inversion of a remap, the same in both directions: with a truthy
// "invert", a boolean is negated and a number becomes lo + hi - value when
// the remap has array "bounds" [lo, hi]; everything else is unchanged.
Value remap_invert(const Value& remap, Value value);

}  // namespace kesvo
