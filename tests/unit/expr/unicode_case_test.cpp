// Full Unicode case mapping, used by "lower" and "capitalize".
#include <gtest/gtest.h>

#include <string>

#include "core/unicode_case.h"
#include "core/utf8.h"

namespace kesvo {
namespace {

std::string mapped(size_t (*fn)(uint32_t, uint32_t*), uint32_t cp) {
  uint32_t out[3];
  const size_t n = fn(cp, out);
  std::string s;
  for (size_t i = 0; i < n; ++i) utf8_append(out[i], s);
  return s;
}

TEST(UnicodeCase, SpotChecks) {
  struct Case {
    uint32_t cp;
    const char* lower;
    const char* upper;
  };
  const Case cases[] = {
      {'A', "a", "A"},           {'z', "z", "Z"},           {'1', "1", "1"},
      {0x00C0, "à", "À"},        {0x00DF, "ß", "SS"},       {0x00B5, "µ", "Μ"},
      {0x00FF, "ÿ", "Ÿ"},        {0x0130, "i̇", "İ"},       {0x0131, "ı", "I"},
      {0x0149, "ŉ", "ʼN"},       {0x017F, "ſ", "S"},        {0x01C5, "ǆ", "Ǆ"},
      {0x01F0, "ǰ", "J̌"},       {0x0390, "ΐ", "\u0399\u0308\u0301"},      {0x03A3, "σ", "Σ"},
      {0x03C2, "ς", "Σ"},        {0x1E9E, "ß", "ẞ"},        {0x1FB3, "ᾳ", "ΑΙ"},
      {0x1FBC, "ᾳ", "ΑΙ"},       {0x2126, "ω", "\u2126"},        {0x212A, "k", "\u212A"},
      {0x24B6, "ⓐ", "Ⓐ"},        {0xFB03, "ﬃ", "FFI"},      {0xFB05, "ﬅ", "ST"},
      {0xFF21, "ａ", "Ａ"},       {0x10400, "𐐨", "𐐀"},      {0x1E900, "𞤢", "𞤀"},
      {0x4E2D, "中", "中"},      {0x10FFFF, "\xF4\x8F\xBF\xBF", "\xF4\x8F\xBF\xBF"},
      {0x0100, "ā", "Ā"},        {0x0101, "ā", "Ā"},        {0x012F, "į", "Į"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(mapped(unicode_lower, c.cp), c.lower) << std::hex << c.cp;
    EXPECT_EQ(mapped(unicode_upper, c.cp), c.upper) << std::hex << c.cp;
  }
}

TEST(UnicodeCase, NumberOfChangedCodePoints) {
  // Counts of the Unicode 14 database: a lookup that misreads a run shows
  // up here even where the spot checks do not look.
  size_t lower_changed = 0;
  size_t upper_changed = 0;
  size_t upper_multi = 0;
  for (uint32_t cp = 0; cp <= 0x10FFFF; ++cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    uint32_t out[3];
    size_t n = unicode_lower(cp, out);
    lower_changed += n != 1 || out[0] != cp;
    n = unicode_upper(cp, out);
    upper_changed += n != 1 || out[0] != cp;
    upper_multi += n > 1;
  }
  EXPECT_EQ(lower_changed, 1433u);
  EXPECT_EQ(upper_changed, 1525u);
  EXPECT_EQ(upper_multi, 102u);
}

TEST(UnicodeCase, LowerText) {
  std::string out = "keep:";
  append_lower_utf8("ÀÉÎ HELLO İ ΣΑΣ 𐐀", out);
  EXPECT_EQ(out, "keep:àéî hello i̇ σασ 𐐨");
}

}  // namespace
}  // namespace kesvo
