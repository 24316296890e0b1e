// Test helper: JSON text to a value, failing the current test on bad text.
#pragma once

#include <gtest/gtest.h>

#include <string_view>

#include "core/json.h"
#include "core/json_reader.h"

namespace kesvo {

inline Value J(std::string_view text) {
  auto r = read_json(text);
  EXPECT_TRUE(r.ok()) << text << ": " << (r.ok() ? std::string() : r.error());
  return r.ok() ? std::move(r).value() : Value();
}

}  // namespace kesvo
