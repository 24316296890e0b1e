// SHA-256 (FIPS 180-4).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kesvo {

class Sha256 {
 public:
  Sha256();
  void update(std::string_view data);
  std::array<uint8_t, 32> finish();

 private:
  void block(const uint8_t* p);

  uint32_t h_[8];
  uint8_t buf_[64];
  size_t buf_len_ = 0;
  uint64_t total_ = 0;
};

// The digest of `data` as 64 lower-case hex characters.
std::string sha256_hex(std::string_view data);

}  // namespace kesvo
