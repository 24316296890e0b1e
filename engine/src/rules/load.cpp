#include "core/hex.h"
#include "core/json_writer.h"
#include "core/sha256.h"
#include "rules/rule_pack.h"
#include "rules/validate.h"

namespace kesvo {

namespace {

// Feeds the compact JSON text of a value to SHA-256 piece by piece, so a
// large rule pack is never held as one text: the text goes through a small
// buffer that is hashed whenever it fills up. Objects and arrays are written
// here with the writer's compact layout; everything else by the writer
// itself, so the bytes are exactly those of to_json.
class TextDigest {
 public:
  TextDigest() { buf_.reserve(kFlushAt * 2); }

  void write(const Value& v) {
    if (v.is_object()) {
      buf_ += '{';
      bool first = true;
      for (const Member& m : v.as_object()) {
        if (!first) buf_ += ',';
        first = false;
        write_json_string(m.key, buf_);
        buf_ += ':';
        write(m.value);
      }
      buf_ += '}';
    } else if (v.is_array()) {
      buf_ += '[';
      bool first = true;
      for (const Value& item : v.as_array()) {
        if (!first) buf_ += ',';
        first = false;
        write(item);
      }
      buf_ += ']';
    } else {
      write_json(v, buf_);
    }
    if (buf_.size() >= kFlushAt) flush();
  }

  std::string hex() {
    flush();
    const auto digest = sha_.finish();
    return hex_encode(std::string_view(reinterpret_cast<const char*>(digest.data()), digest.size()));
  }

 private:
  static constexpr size_t kFlushAt = 16 * 1024;

  void flush() {
    sha_.update(buf_);
    buf_.clear();
  }

  Sha256 sha_;
  std::string buf_;
};

}  // namespace

std::string rule_pack_fingerprint(const Value& document) {
  TextDigest digest;
  digest.write(document);
  return digest.hex();
}

Result<std::string> load_rule_pack(const Value& document) {
  // The version check comes first, so a document that is not an object fails
  // here too. Only the integer literal 1 counts.
  const Value& version = document["version"];
  if (!version.is_uint() || version.as_uint() != 1) return fail(ErrorKind::Rules, "unsupported rule version");
  auto valid = validate_rule_pack(document);
  if (!valid.ok()) return fail(ErrorKind::Rules, std::move(valid).error());
  return rule_pack_fingerprint(document);
}

}  // namespace kesvo
