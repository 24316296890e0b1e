// Named value conversions: the registry of strategies and the two entry
// points that run them, strategy_read (raw DP value to engine value) and
// strategy_write (engine value back to the raw DP value).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/json.h"
#include "core/result.h"

namespace kesvo {

// A strategy's read direction: raw value, the DP's local-strategy config and
// the rule-pack document; a failure is a plain message.
using StrategyReadFn = Result<Value, std::string> (*)(const Value& raw, const Value& config, const Value& rules);
// A strategy's write direction: engine value and config.
using StrategyWriteFn = Result<Value> (*)(const Value& value, const Value& config);

// What reading a null raw value gives, before the strategy itself runs.
enum class NullRead : uint8_t {
  Strategy,   // the strategy sees null itself ("default", "enum")
  Null,       // null
  EmptyText,  // the empty string
};

struct StrategyDef {
  std::string_view name;
  StrategyReadFn read;
  StrategyWriteFn write;  // null: the conversion has no inverse
  NullRead null_read;
};

// The registered strategy of that name (compared byte for byte), or null.
const StrategyDef* find_strategy(std::string_view name);

// Reads a raw DP value through the named strategy. A name missing from the
// registry leaves the value unchanged; a null raw value gives null (the
// empty string for the brightness strategies) without reaching the strategy.
Result<Value, std::string> strategy_read(std::string_view name, const Value& value, const Value& config,
                                         const Value& rules);

// Writes an engine value through the named strategy. A strategy without a
// write direction, or an unknown name, fails with Unsupported "this dp's
// value conversion has no inverse".
Result<Value> strategy_write(std::string_view name, const Value& value, const Value& config);

// The value that "default" reads for a missing (null or empty) raw value,
// from the config's "valueType" and "valueDesc".
Value config_default(const Value& config);

}  // namespace kesvo
