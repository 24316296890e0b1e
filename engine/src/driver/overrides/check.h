// Validation of device override blocks: the override maps of rule packs and
// hosts, single blocks, property declarations, override programs and cover
// blocks. Every check reports the first problem as a plain message; callers
// wrap it ("override: " for rule packs and driver builds).
#pragma once

#include <string>

#include "core/json.h"
#include "core/result.h"

namespace kesvo {

using CheckResult = Result<void, std::string>;

// Programs may nest this many levels below the top program at most.
inline constexpr int kMaxProgramDepth = 63;

// An override map: device key to block. Failures of a block are prefixed
// with "{key}: ".
CheckResult check_overrides(const Value& overrides, const Value& rules);

// One block. `final` is true for the effective block of a device and adds
// the checks that need the whole block (declared properties, write
// programs, select options).
CheckResult check_block(const Value& block, const Value& rules, bool final);

// Member checks shared by property patches and converter declarations;
// `typed` adds the checks of "type", "min", "max", "step" and "options".
CheckResult check_declaration(const Value& object, bool typed, bool final);

// An override program at nesting `depth` (0 for a top program). `props` is
// the converter's declared properties (an object, or null when there are
// none). `full` is false for "reset" programs, which may only assign state.
CheckResult check_program(const Value& program, const Value& props, int depth, bool final, bool full);

// A cover block; `top` is true for the block itself and false for a cover
// group inside it (groups do not nest).
CheckResult check_cover_block(const Value& object, const Value& rules, bool top);

}  // namespace kesvo
