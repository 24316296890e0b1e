#include "expr/op_table.h"

#include <array>
#include <cstddef>

namespace kesvo::expr {

namespace {

struct OpName {
  std::string_view name;
  Op op;
};

constexpr OpName kNames[] = {
    {"literal", Op::Literal}, {"if", Op::If}, {"and", Op::And}, {"or", Op::Or}, {"coalesce", Op::Coalesce},
    {"get", Op::Get}, {"let", Op::Let}, {"record", Op::Record}, {"error", Op::Error}, {"call", Op::Call},
    {"map", Op::Map}, {"filter", Op::Filter}, {"find", Op::Find}, {"count", Op::Count}, {"any", Op::Any},
    {"all", Op::All}, {"flags", Op::Flags},
    {"eq", Op::Eq}, {"ne", Op::Ne}, {"lt", Op::Lt}, {"le", Op::Le}, {"gt", Op::Gt}, {"ge", Op::Ge},
    {"same", Op::Same}, {"not", Op::Not}, {"truthy", Op::Truthy}, {"is_null", Op::IsNull},
    {"is_number", Op::IsNumber}, {"is_integer", Op::IsInteger}, {"type_of", Op::TypeOf}, {"some", Op::Some},
    {"add", Op::Add}, {"sub", Op::Sub}, {"mul", Op::Mul}, {"div", Op::Div}, {"min", Op::Min}, {"max", Op::Max},
    {"num", Op::Num}, {"floor", Op::Floor}, {"round_half_even", Op::RoundHalfEven}, {"remap", Op::Remap},
    {"range", Op::Range},
    {"bit_test", Op::BitTest}, {"flag", Op::Flag}, {"hex", Op::Hex}, {"hex_ints", Op::HexInts},
    {"len", Op::Len}, {"lower", Op::Lower}, {"capitalize", Op::Capitalize}, {"trim_start", Op::TrimStart},
    {"trim_end", Op::TrimEnd}, {"starts_with", Op::StartsWith}, {"ends_with", Op::EndsWith},
    {"contains", Op::Contains}, {"replace", Op::Replace}, {"to_string", Op::ToString},
    {"str_concat", Op::StrConcat}, {"text", Op::Text}, {"parse_json", Op::ParseJson},
    {"list", Op::List}, {"zip", Op::Zip}, {"concat", Op::Concat}, {"flatten", Op::Flatten},
    {"object", Op::Object}, {"keys", Op::Keys}, {"values", Op::Values}, {"entries", Op::Entries},
    {"without", Op::Without}, {"index_of", Op::IndexOf}, {"lookup", Op::Lookup}, {"sort", Op::Sort},
    {"codes", Op::Codes},
    {"b64_utf8", Op::B64Utf8}, {"b64_utf16be", Op::B64Utf16be}, {"electricity_b64", Op::ElectricityB64},
    {"electricity_hex", Op::ElectricityHex}, {"hs_to_rgb_hex", Op::HsToRgbHex}, {"rgb_hex_to_hs", Op::RgbHexToHs},
};
constexpr size_t kNameCount = sizeof kNames / sizeof kNames[0];
static_assert(kNameCount == static_cast<size_t>(Op::Unknown), "every operation has exactly one name");

// A cheap hash of a non-empty name: its length and three of its characters.
// Collisions only cost a probe.
constexpr uint32_t hash_name(std::string_view s) {
  const auto c = [&](size_t i) { return static_cast<uint32_t>(static_cast<unsigned char>(s[i])); };
  return static_cast<uint32_t>(s.size()) * 41u + c(0) * 7u + c(s.size() / 2) * 3u + c(s.size() - 1);
}

constexpr size_t kSlots = 256;  // power of two, load below one third
constexpr size_t kMaxNameLength = 15;

// Open addressing with linear probing; a slot holds the name index + 1.
// Names longer than any operation name are rejected before hashing.
constexpr std::array<uint8_t, kSlots> build_slots() {
  std::array<uint8_t, kSlots> slots{};
  for (size_t i = 0; i < kNameCount; ++i) {
    size_t s = hash_name(kNames[i].name) & (kSlots - 1);
    while (slots[s] != 0) s = (s + 1) & (kSlots - 1);
    slots[s] = static_cast<uint8_t>(i + 1);
  }
  return slots;
}

constexpr std::array<uint8_t, kSlots> kSlotTable = build_slots();

// Every name is found within a few probes.
constexpr bool probes_are_short() {
  for (const OpName& n : kNames) {
    size_t s = hash_name(n.name) & (kSlots - 1);
    size_t probes = 1;
    while (kNames[kSlotTable[s] - 1].name != n.name) {
      s = (s + 1) & (kSlots - 1);
      ++probes;
    }
    if (probes > 4) return false;
  }
  return true;
}
static_assert(probes_are_short(), "the name hash spreads the operation names");

constexpr bool names_fit() {
  for (const OpName& n : kNames) {
    if (n.name.size() > kMaxNameLength) return false;
  }
  return true;
}
static_assert(names_fit(), "kMaxNameLength covers every name");

}  // namespace

Op lookup_op(std::string_view name) {
  if (name.empty() || name.size() > kMaxNameLength) return Op::Unknown;
  size_t s = hash_name(name) & (kSlots - 1);
  while (true) {
    const uint8_t e = kSlotTable[s];
    if (e == 0) return Op::Unknown;
    const std::string_view candidate = kNames[e - 1].name;
    if (candidate.size() == name.size() && candidate[0] == name[0] && candidate == name) return kNames[e - 1].op;
    s = (s + 1) & (kSlots - 1);
  }
}

}  // namespace kesvo::expr
