#include <gtest/gtest.h>

#include <string>

#include "adapter/electricity_record.h"
#include "core/json_writer.h"

namespace kesvo {
namespace {

std::string bytes(std::initializer_list<int> list) {
  std::string s;
  for (int b : list) s += static_cast<char>(b);
  return s;
}

TEST(ElectricityRecord, DecodesThePlainExtendedAndSignedForms) {
  const std::string plain = bytes({0x08, 0x9D, 0x00, 0x03, 0xE8, 0x00, 0x01, 0xF4});
  EXPECT_EQ(to_json(decode_electricity(plain)),
            R"({"voltage":220.5,"current":1000.0,"power":500.0,"reactive_power":null,"apparent_power":null,"power_factor":null})");
  EXPECT_TRUE(decode_electricity(plain.substr(0, 7)).is_null());

  const std::string tail = bytes({0x00, 0x00, 0x64, 0x00, 0x02, 0x00, 0x5F});
  const std::string extended = bytes({0x01, 0x0F}) + plain + tail;
  EXPECT_EQ(to_json(decode_electricity(extended)),
            R"({"voltage":220.5,"current":1000.0,"power":500.0,"reactive_power":100,"apparent_power":512,"power_factor":0.95})");

  const std::string signed_form = bytes({0x02, 0x0F}) + plain + tail + bytes({0x0F});
  EXPECT_EQ(to_json(decode_electricity(signed_form)),
            R"({"voltage":220.5,"current":-1000,"power":-500,"reactive_power":-100,"apparent_power":512,"power_factor":-0.95})");

  // A 17-byte string without the header is read in the plain form.
  const std::string headerless = plain + tail + bytes({0x00, 0x00});
  EXPECT_EQ(decode_electricity(headerless)["voltage"].as_double(), 220.5);
  EXPECT_TRUE(decode_electricity(headerless)["reactive_power"].is_null());
}

}  // namespace
}  // namespace kesvo
