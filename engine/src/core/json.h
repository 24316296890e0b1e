// The JSON value: the engine's data currency.
//
// A tagged value of 16 bytes: null, boolean, number in one of three
// representations (unsigned 64-bit integer, signed 64-bit integer used only
// for negative values, 64-bit float), string, array, or object. Objects keep
// insertion order: a new member goes to the end, replacing a value keeps its
// position, and removing a member moves the last member into the gap. Large
// objects keep a hash index so lookups stay constant-time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace kesvo {

class Value;
class Object;
using Array = std::vector<Value>;

class Value {
 public:
  enum class Type : uint8_t { Null, Bool, UInt, Int, Double, String, Array, Object };

  Value() noexcept : type_(Type::Null) { u_.u = 0; }
  Value(std::nullptr_t) noexcept : Value() {}  // NOLINT
  Value(bool b) noexcept : type_(Type::Bool) { u_.b = b; }  // NOLINT
  template <class I, std::enable_if_t<std::is_integral_v<I> && !std::is_same_v<I, bool> &&
                                          !std::is_same_v<I, char>,
                                      int> = 0>
  Value(I v) noexcept {  // NOLINT
    if constexpr (std::is_signed_v<I>) {
      set_i64(static_cast<int64_t>(v));
    } else {
      type_ = Type::UInt;
      u_.u = static_cast<uint64_t>(v);
    }
  }
  Value(double d) noexcept : type_(Type::Double) { u_.d = d; }  // NOLINT
  Value(const char* s) : type_(Type::String) { u_.s = new std::string(s); }                 // NOLINT
  Value(std::string_view s) : type_(Type::String) { u_.s = new std::string(s); }            // NOLINT
  Value(const std::string& s) : type_(Type::String) { u_.s = new std::string(s); }          // NOLINT
  Value(std::string&& s) : type_(Type::String) { u_.s = new std::string(std::move(s)); }    // NOLINT
  Value(const Array& a) : type_(Type::Array) { u_.a = new Array(a); }                      // NOLINT
  Value(Array&& a) : type_(Type::Array) { u_.a = new Array(std::move(a)); }                 // NOLINT
  Value(const Object& o);                                                                   // NOLINT
  Value(Object&& o);                                                                        // NOLINT

  Value(const Value& other) { copy_from(other); }
  Value(Value&& other) noexcept : type_(other.type_), u_(other.u_) { other.type_ = Type::Null; }
  Value& operator=(const Value& other) {
    if (this != &other) {
      Value tmp(other);
      swap(tmp);
    }
    return *this;
  }
  Value& operator=(Value&& other) noexcept {
    if (this != &other) {
      destroy();
      type_ = other.type_;
      u_ = other.u_;
      other.type_ = Type::Null;
    }
    return *this;
  }
  ~Value() { destroy(); }

  void swap(Value& other) noexcept {
    std::swap(type_, other.type_);
    std::swap(u_, other.u_);
  }

  // Factories for the three number representations.
  static Value from_u64(uint64_t v) { return Value(v); }
  // A signed integer: non-negative values are held as unsigned.
  static Value from_i64(int64_t v) { return Value(v); }
  static Value from_double(double d) { return Value(d); }
  static Value array() { return Value(Array{}); }
  static Value object();

  Type type() const { return type_; }
  bool is_null() const { return type_ == Type::Null; }
  bool is_bool() const { return type_ == Type::Bool; }
  bool is_uint() const { return type_ == Type::UInt; }
  bool is_int() const { return type_ == Type::Int; }
  bool is_double() const { return type_ == Type::Double; }
  // A number held as an integer (either integer representation).
  bool is_integer() const { return type_ == Type::UInt || type_ == Type::Int; }
  bool is_number() const { return type_ == Type::UInt || type_ == Type::Int || type_ == Type::Double; }
  bool is_string() const { return type_ == Type::String; }
  bool is_array() const { return type_ == Type::Array; }
  bool is_object() const { return type_ == Type::Object; }

  // Raw accessors: the caller has checked the type.
  bool as_bool() const { return u_.b; }
  uint64_t as_uint() const { return u_.u; }
  int64_t as_int() const { return u_.i; }
  double as_double() const { return u_.d; }
  const std::string& as_string() const { return *u_.s; }
  std::string& as_string() { return *u_.s; }
  const Array& as_array() const { return *u_.a; }
  Array& as_array() { return *u_.a; }
  const Object& as_object() const { return *u_.o; }
  Object& as_object() { return *u_.o; }

  // Any number as a 64-bit float (integers rounded to the nearest double);
  // 0 for non-numbers.
  double number_as_double() const {
    switch (type_) {
      case Type::UInt: return static_cast<double>(u_.u);
      case Type::Int: return static_cast<double>(u_.i);
      case Type::Double: return u_.d;
      default: return 0.0;
    }
  }

  // The string's text, or an empty view for non-strings.
  std::string_view string_or_empty() const {
    return type_ == Type::String ? std::string_view(*u_.s) : std::string_view();
  }

  // Member lookup: nullptr when this is not an object or has no such member.
  const Value* find(std::string_view key) const;
  Value* find(std::string_view key);
  // Member lookup that yields a shared null for anything missing.
  const Value& operator[](std::string_view key) const;
  // Element lookup: a shared null when this is not an array or the index is
  // past the end.
  const Value& at(size_t index) const;

  // Member access for writing: turns a non-object into an empty object first
  // and appends the member with null when it is missing.
  Value& member(std::string_view key);

  static const Value& null_value();

 private:
  void set_i64(int64_t v) {
    if (v >= 0) {
      type_ = Type::UInt;
      u_.u = static_cast<uint64_t>(v);
    } else {
      type_ = Type::Int;
      u_.i = v;
    }
  }
  void copy_from(const Value& other);
  void destroy() noexcept {
    if (type_ >= Type::String) destroy_heap();
  }
  void destroy_heap() noexcept;

  Type type_;
  union Payload {
    bool b;
    uint64_t u;
    int64_t i;
    double d;
    std::string* s;
    Array* a;
    Object* o;
  } u_;
};

struct Member {
  std::string key;
  Value value;
};

// Insertion-ordered map from string keys to values.
class Object {
 public:
  using iterator = std::vector<Member>::iterator;
  using const_iterator = std::vector<Member>::const_iterator;

  Object() = default;
  Object(std::initializer_list<std::pair<std::string_view, Value>> init);
  Object(const Object&) = default;
  Object(Object&&) noexcept = default;
  Object& operator=(const Object&) = default;
  Object& operator=(Object&&) noexcept = default;

  size_t size() const { return members_.size(); }
  bool empty() const { return members_.empty(); }
  void reserve(size_t n) { members_.reserve(n); }
  void clear() {
    members_.clear();
    index_.clear();
  }

  iterator begin() { return members_.begin(); }
  iterator end() { return members_.end(); }
  const_iterator begin() const { return members_.begin(); }
  const_iterator end() const { return members_.end(); }
  const Member& member_at(size_t i) const { return members_[i]; }
  Member& member_at(size_t i) { return members_[i]; }
  const Member* first() const { return members_.empty() ? nullptr : &members_.front(); }

  const Value* find(std::string_view key) const {
    size_t i = index_of(key);
    return i == npos ? nullptr : &members_[i].value;
  }
  Value* find(std::string_view key) {
    size_t i = index_of(key);
    return i == npos ? nullptr : &members_[i].value;
  }
  bool contains(std::string_view key) const { return index_of(key) != npos; }
  // Position of the member named `key`, or npos.
  size_t index_of(std::string_view key) const;

  // Sets a member: replaces the value in place, or appends a new member.
  Value& set(std::string_view key, Value value);
  Value& set(std::string&& key, Value value);
  Value& set(const char* key, Value value) { return set(std::string_view(key), std::move(value)); }
  // The member named `key`, appended with null when missing.
  Value& operator[](std::string_view key);
  // Appends a member without looking for an existing one: the caller
  // guarantees the key is not present.
  Value& append_new(std::string key, Value value);
  // Removes a member; the last member moves into its position. Returns
  // whether a member was removed.
  bool erase(std::string_view key);

  static constexpr size_t npos = static_cast<size_t>(-1);

 private:
  // Objects up to this size are searched linearly; larger ones keep a hash
  // index of open-addressed slots holding member position + 1 (0 = empty).
  static constexpr size_t kLinearLimit = 8;

  void index_insert(size_t pos);
  void rebuild_index();

  std::vector<Member> members_;
  std::vector<uint32_t> index_;
};

inline Value::Value(const Object& o) : type_(Type::Object) { u_.o = new Object(o); }
inline Value::Value(Object&& o) : type_(Type::Object) { u_.o = new Object(std::move(o)); }
inline Value Value::object() { return Value(Object{}); }

}  // namespace kesvo
