#include <gtest/gtest.h>

#include <string>

#include "core/base64.h"
#include "core/sha256.h"

namespace kesvo {
namespace {

TEST(Sha256, Fips180TestVectors) {
  EXPECT_EQ(sha256_hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(sha256_hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(sha256_hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  EXPECT_EQ(sha256_hex("abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu"),
            "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1");
  EXPECT_EQ(sha256_hex(std::string(1000000, 'a')),
            "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
  // Incremental updates across block boundaries give the same digest.
  Sha256 h;
  const std::string text(200, 'x');
  for (size_t i = 0; i < text.size(); i += 7) h.update(std::string_view(text).substr(i, 7));
  const auto digest = h.finish();
  static const char kHex[] = "0123456789abcdef";
  std::string hex;
  for (auto b : digest) hex += std::string{kHex[b >> 4], kHex[b & 15]};
  EXPECT_EQ(hex, sha256_hex(text));
}

TEST(Base64, EncodesAndDecodesCanonically) {
  const char* plain[] = {"", "f", "fo", "foo", "foob", "fooba", "foobar"};
  const char* coded[] = {"", "Zg==", "Zm8=", "Zm9v", "Zm9vYg==", "Zm9vYmE=", "Zm9vYmFy"};
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(base64_encode(plain[i]), coded[i]);
    EXPECT_EQ(base64_decode(coded[i]).value_or("<fail>"), plain[i]);
  }
  for (const char* bad : {"Zg", "Zg=", "Zh==", "Zm9=", "Z===", "Zm9v!A==", "=Zg=", "Zg==Zg=="}) {
    EXPECT_FALSE(base64_decode(bad).has_value()) << bad;
  }
}

}  // namespace
}  // namespace kesvo

#include "core/hex.h"
#include "core/utf8.h"

namespace kesvo {
namespace {

TEST(Base64, FilteredDecodingDropsForeignCharacters) {
  EXPECT_EQ(base64_decode_filtered(" Zm9v\nYmFy-_ ").value_or("<fail>"), "foobar");
  EXPECT_FALSE(base64_decode_filtered("Zm9vY").has_value());
}

TEST(Hex, DecodesPairsAndEncodesLowerCase) {
  EXPECT_EQ(hex_decode("0aFf").value_or("<fail>"), std::string("\x0a\xff"));
  EXPECT_FALSE(hex_decode("abc").has_value());
  EXPECT_FALSE(hex_decode("0g").has_value());
  EXPECT_EQ(hex_encode(std::string("\x0a\xff", 2)), "0aff");
}

TEST(Utf8, ValidationLengthAndWhitespace) {
  EXPECT_TRUE(valid_utf8("a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80"));
  EXPECT_FALSE(valid_utf8("\xFF"));
  EXPECT_FALSE(valid_utf8("\xC0\xAF"));          // overlong
  EXPECT_FALSE(valid_utf8("\xED\xA0\x80"));      // surrogate
  EXPECT_FALSE(valid_utf8("\xF4\x90\x80\x80"));  // above U+10FFFF
  EXPECT_FALSE(valid_utf8("abc\xE4\xB8"));       // truncated
  EXPECT_EQ(utf8_length("a\xC3\xA9\xF0\x9F\x98\x80"), 3u);
  EXPECT_EQ(trim_unicode_whitespace("\xE3\x80\x80 x y\t\xC2\xA0"), "x y");
  EXPECT_EQ(trim_unicode_whitespace(" \n "), "");
}

}  // namespace
}  // namespace kesvo
