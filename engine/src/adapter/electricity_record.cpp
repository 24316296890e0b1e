#include "adapter/electricity_record.h"

#include "core/value_rules.h"

namespace kesvo {

namespace {

double be24(const unsigned char* p) { return static_cast<double>((uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2]); }

}  // namespace

Value decode_electricity(std::string_view bytes) {
  const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t n = bytes.size();
  bool extended = false;
  bool sign = false;
  const unsigned char* p = b;
  if (n == 17 && b[0] == 0x01 && b[1] == 0x0F) {
    extended = true;
    p = b + 2;
  } else if (n == 18 && b[0] == 0x02 && b[1] == 0x0F) {
    extended = true;
    sign = true;
    p = b + 2;
  } else if (n < 8) {
    return Value();
  }
  Object rec;
  rec.reserve(6);
  rec.append_new("voltage", Value((p[0] * 256.0 + p[1]) / 10.0));
  rec.append_new("current", Value(be24(p + 2)));
  rec.append_new("power", Value(be24(p + 5)));
  rec.append_new("reactive_power", Value());
  rec.append_new("apparent_power", Value());
  rec.append_new("power_factor", Value());
  if (extended) {
    rec.member_at(3).value = number_value(be24(p + 8));
    rec.member_at(4).value = number_value(be24(p + 11));
    rec.member_at(5).value = number_value(p[14] / 100.0);
  }
  if (sign) {
    const unsigned char s = b[17];
    // Bits 0 to 3 negate current, power, reactive power and power factor.
    const size_t members[4] = {1, 2, 3, 5};
    for (int bit = 0; bit < 4; ++bit) {
      if (s & (1u << bit)) {
        Value& v = rec.member_at(members[bit]).value;
        v = number_value(-to_number(v));
      }
    }
  }
  return Value(std::move(rec));
}

}  // namespace kesvo
