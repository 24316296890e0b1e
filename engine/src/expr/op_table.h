// The names of all operations (special forms and built-in functions) and
// their constant-time lookup.
#pragma once

#include <cstdint>
#include <string_view>

namespace kesvo::expr {

// Special forms come first, then the functions group by group; the group
// boundaries are used for dispatch.
enum class Op : uint8_t {
  // special forms
  Literal, If, And, Or, Coalesce, Get, Let, Record, Error, Call,
  Map, Filter, Find, Count, Any, All, Flags,
  // comparison and tests
  Eq, Ne, Lt, Le, Gt, Ge, Same, Not, Truthy, IsNull, IsNumber, IsInteger, TypeOf, Some,
  // arithmetic
  Add, Sub, Mul, Div, Min, Max, Num, Floor, RoundHalfEven, Remap, Range,
  // bits and hex
  BitTest, Flag, Hex, HexInts,
  // strings
  Len, Lower, Capitalize, TrimStart, TrimEnd, StartsWith, EndsWith, Contains, Replace, ToString,
  StrConcat, Text, ParseJson,
  // collections
  List, Zip, Concat, Flatten, Object, Keys, Values, Entries, Without, IndexOf, Lookup, Sort, Codes,
  // decoders
  B64Utf8, B64Utf16be, ElectricityB64, ElectricityHex, HsToRgbHex, RgbHexToHs,
  Unknown,
};

inline constexpr Op kFirstFunction = Op::Eq;
inline constexpr Op kFirstArithmetic = Op::Add;
inline constexpr Op kFirstBits = Op::BitTest;
inline constexpr Op kFirstString = Op::Len;
inline constexpr Op kFirstCollection = Op::List;
inline constexpr Op kFirstDecoder = Op::B64Utf8;

// The operation named `name`, or Op::Unknown.
Op lookup_op(std::string_view name);

}  // namespace kesvo::expr
