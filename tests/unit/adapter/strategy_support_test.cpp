#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "adapter/colour.h"
#include "adapter/strategy_support.h"
#include "core/json_reader.h"
#include "core/json_writer.h"
#include "unit/test_json.h"

namespace kesvo {
namespace {

TEST(HexField, ReadsClippedUnsignedFields) {
  struct Case {
    std::string_view text;
    size_t a, b;
    double value;
  };
  const Case cases[] = {
      {"0a1B", 0, 2, 10},
      {"0a1B", 2, 4, 27},
      {"0a", 2, 6, 0},  // beyond the end: empty
      {"0a", 1, 6, 10},  // clipped end
      {"+ff", 0, 3, 255},
      {"", 0, 4, 0},
      {"ffffffffffffffff", 0, 16, 18446744073709551615.0},
      {"0000000000000000000001", 0, 22, 1},  // leading zeros do not overflow
      {"é12", 2, 4, 18},  // field after a two-byte character
      {"12é", 0, 2, 18},
  };
  for (const Case& c : cases) {
    auto r = hex_field(c.text, c.a, c.b);
    ASSERT_TRUE(r.ok()) << c.text << " " << c.a << ".." << c.b;
    EXPECT_EQ(r.value(), c.value) << c.text << " " << c.a << ".." << c.b;
  }
}

TEST(HexField, RejectsEverythingElse) {
  struct Case {
    std::string_view text;
    size_t a, b;
  };
  const Case cases[] = {
      {"0g", 0, 2},
      {"-1", 0, 2},
      {"+", 0, 1},
      {"++1", 0, 3},
      {" 1", 0, 2},
      {"1+", 0, 2},
      {"10000000000000000", 0, 17},  // 2^64
      {"é1", 1, 3},  // starts inside a character
      {"aé", 0, 2},  // ends inside a character
      {"é", 1, 1},   // even an empty field inside a character
  };
  for (const Case& c : cases) {
    auto r = hex_field(c.text, c.a, c.b);
    ASSERT_FALSE(r.ok()) << c.text << " " << c.a << ".." << c.b;
    EXPECT_EQ(r.error(), "invalid hex");
  }
}

TEST(RoundTo, IsCorrectlyRoundedWithTiesToEven) {
  struct Case {
    double x;
    int digits;
    double expected;
  };
  const Case cases[] = {
      {120.0 / 255.0, 3, 0.471},
      {0.125, 2, 0.12},  // exact binary tie: to even
      {0.375, 2, 0.38},
      {-0.125, 2, -0.12},
      {2.5, 0, 2.0},
      {3.5, 0, 4.0},
      {0.15, 1, 0.1},  // 0.15 is below the tie in binary
      {0.35, 1, 0.3},  // 0.35 is 0.34999... in binary
      {0.45, 1, 0.5},  // 0.45 is 0.450000000000000011... in binary
      {3.0 / 255.0, 3, 0.012},
      {3.0 / 255.0, 4, 0.0118},
      {0.012 * 255, 1, 3.1},
      {1e300, 1, 1e300},
      {1e-300, 3, 0.0},
      {5e-324, 1074, 5e-324},
      {123.456, 1100, 123.456},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(round_to(c.x, c.digits), c.expected) << c.x << " to " << c.digits;
  }
  EXPECT_TRUE(std::isnan(round_to(std::nan(""), 2)));
  EXPECT_EQ(round_to(std::numeric_limits<double>::infinity(), 2), std::numeric_limits<double>::infinity());
}

TEST(HexOutput, PadsNeverCutsAndWritesNegativesInTwosComplement) {
  struct Case {
    double x;
    int width;
    std::string_view text;
  };
  const Case cases[] = {
      {0, 2, "00"},
      {10, 2, "0a"},
      {255, 2, "ff"},
      {256, 2, "100"},
      {120, 4, "0078"},
      {70000, 4, "11170"},
      {-1, 2, "ffffffffffffffff"},
      {-1.9, 4, "ffffffffffffffff"},  // truncated toward zero first
      {1e300, 4, "7fffffffffffffff"},
      {-1e300, 2, "8000000000000000"},
      {std::nan(""), 2, "00"},
      {12.99, 2, "0c"},
  };
  for (const Case& c : cases) {
    std::string out;
    append_hex(out, c.x, c.width);
    EXPECT_EQ(out, c.text) << c.x;
  }
  EXPECT_EQ(round_to_i64(2.5), 2);
  EXPECT_EQ(round_to_i64(3.5), 4);
  EXPECT_EQ(round_to_i64(-0.5), 0);
}

TEST(DecodeBase64, FiltersForeignCharactersThenDecodesStrictly) {
  EXPECT_EQ(decode_base64(Value("AX8B4AJY")), std::string("\x01\x7f\x01\xe0\x02\x58", 6));
  EXPECT_EQ(decode_base64(Value(" AX8B\n4A-JY_ ")), std::string("\x01\x7f\x01\xe0\x02\x58", 6));
  EXPECT_EQ(decode_base64(Value("")), std::string());
  EXPECT_FALSE(decode_base64(Value("AAA")).has_value());
  EXPECT_FALSE(decode_base64(Value("AB==")).has_value());  // stray bits
  EXPECT_FALSE(decode_base64(Value("A=AA")).has_value());
  EXPECT_FALSE(decode_base64(Value(5)).has_value());
  EXPECT_FALSE(decode_base64(Value()).has_value());
}

TEST(SpacedJsonText, NormalisesNumbersOutsideTheKeepList) {
  struct Case {
    std::string_view value;
    bool electricity;
    std::string_view text;
  };
  const Case cases[] = {
      {R"({"h": 120.0, "n": 2.0, "l": [1.5, 3.0]})", false, R"({"h": 120.0, "n": 2, "l": [1.5, 3]})"},
      {"[]", false, "[]"},
      {"{}", false, "{}"},
      {"2.0", false, "2"},  // the top level has the empty name
      {"-0.0", false, "0"},
      {"1e19", false, "1e19"},
      {"18446744073709551615", false, "1.8446744073709552e19"},
      {R"({"s": "a\"b\u0001", "t": true, "z": null})", false, R"({"s": "a\"b\u0001", "t": true, "z": null})"},
      {R"({"h": [1.0, [2.0]], "x": {"h": 3.0, "v": 4}})", false, R"({"h": [1.0, [2.0]], "x": {"h": 3.0, "v": 4}})"},
      {R"({"power": 0.5, "powerFactor": 1.0, "voltage": 220.0, "h": 1.0})", true,
       R"({"power": 0.5, "powerFactor": 1.0, "voltage": 220.0, "h": 1})"},
      {R"([{"a": [], "b": {}}])", true, R"([{"a": [], "b": {}}])"},
  };
  for (const Case& c : cases) {
    const Value text = spaced_json_text(J(c.value), c.electricity ? electricity_keys : colour_keys);
    ASSERT_TRUE(text.is_string());
    EXPECT_EQ(text.as_string(), c.text) << c.value;
  }
}

TEST(Colour, ConvertsBetweenHsvAndRgb) {
  struct Case {
    double h, s, v;
    double r, g, b;
  };
  const Case cases[] = {
      {0, 1, 1, 1, 0, 0},       {1.0 / 3, 1, 1, 0, 1, 0}, {2.0 / 3, 1, 1, 0, 0, 1},
      {0.5, 0, 0.5, 0.5, 0.5, 0.5}, {1.0, 1, 1, 1, 0, 0},  // hue 1 wraps to sector 0
      {-1.0 / 6, 1, 1, 1, 0, 1},  // negative hue: sector 5
  };
  for (const Case& c : cases) {
    const Rgb rgb = hsv_to_rgb(c.h, c.s, c.v);
    EXPECT_NEAR(rgb.r, c.r, 1e-12) << c.h;
    EXPECT_NEAR(rgb.g, c.g, 1e-12) << c.h;
    EXPECT_NEAR(rgb.b, c.b, 1e-12) << c.h;
  }
  // Hostile inputs stay finite arithmetic and never trap.
  (void)hsv_to_rgb(std::nan(""), 1, 1);
  (void)hsv_to_rgb(1e300, 1, 1);
  (void)hsv_to_rgb(-1e300, 1, 1);

  EXPECT_EQ(to_json(rgb_to_hsv("00ff00").value()), R"({"h":120.0,"s":255.0,"v":255.0})");
  EXPECT_EQ(to_json(rgb_to_hsv("ff00ff").value()), R"({"h":300.0,"s":255.0,"v":255.0})");
  EXPECT_EQ(to_json(rgb_to_hsv("000000").value()), R"({"h":0.0,"s":0.0,"v":0.0})");
  // Saturation 0.75 * 255 = 191.25 exactly: the tie goes to the even 191.2.
  EXPECT_EQ(to_json(rgb_to_hsv("804020").value()), R"({"h":20.0,"s":191.2,"v":128.0})");
  EXPECT_EQ(rgb_to_hsv("00zz00").error(), "invalid hex");
}

}  // namespace
}  // namespace kesvo
