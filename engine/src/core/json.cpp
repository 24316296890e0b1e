#include "core/json.h"

#include <functional>

namespace kesvo {

namespace {

inline size_t hash_key(std::string_view key) { return std::hash<std::string_view>{}(key); }

}  // namespace

const Value& Value::null_value() {
  static const Value null;
  return null;
}

void Value::copy_from(const Value& other) {
  type_ = other.type_;
  switch (type_) {
    case Type::String: u_.s = new std::string(*other.u_.s); break;
    case Type::Array: u_.a = new Array(*other.u_.a); break;
    case Type::Object: u_.o = new Object(*other.u_.o); break;
    default: u_ = other.u_; break;
  }
}

void Value::destroy_heap() noexcept {
  switch (type_) {
    case Type::String: delete u_.s; break;
    case Type::Array: delete u_.a; break;
    case Type::Object: delete u_.o; break;
    default: break;
  }
  type_ = Type::Null;
}

const Value* Value::find(std::string_view key) const {
  return type_ == Type::Object ? u_.o->find(key) : nullptr;
}

Value* Value::find(std::string_view key) { return type_ == Type::Object ? u_.o->find(key) : nullptr; }

const Value& Value::operator[](std::string_view key) const {
  const Value* v = find(key);
  return v ? *v : null_value();
}

const Value& Value::at(size_t index) const {
  if (type_ == Type::Array && index < u_.a->size()) return (*u_.a)[index];
  return null_value();
}

Value& Value::member(std::string_view key) {
  if (type_ != Type::Object) *this = Value::object();
  return (*u_.o)[key];
}

Object::Object(std::initializer_list<std::pair<std::string_view, Value>> init) {
  members_.reserve(init.size());
  for (const auto& [k, v] : init) set(k, v);
}

size_t Object::index_of(std::string_view key) const {
  if (index_.empty()) {
    for (size_t i = 0; i < members_.size(); ++i) {
      if (members_[i].key == key) return i;
    }
    return npos;
  }
  const size_t mask = index_.size() - 1;
  size_t slot = hash_key(key) & mask;
  while (true) {
    uint32_t e = index_[slot];
    if (e == 0) return npos;
    if (members_[e - 1].key == key) return e - 1;
    slot = (slot + 1) & mask;
  }
}

void Object::index_insert(size_t pos) {
  const size_t mask = index_.size() - 1;
  size_t slot = hash_key(members_[pos].key) & mask;
  while (index_[slot] != 0) slot = (slot + 1) & mask;
  index_[slot] = static_cast<uint32_t>(pos + 1);
}

void Object::rebuild_index() {
  index_.clear();
  if (members_.size() <= kLinearLimit) return;
  size_t cap = 16;
  while (cap < members_.size() * 2) cap <<= 1;
  index_.assign(cap, 0);
  for (size_t i = 0; i < members_.size(); ++i) index_insert(i);
}

Value& Object::append_new(std::string key, Value value) {
  members_.push_back(Member{std::move(key), std::move(value)});
  const size_t pos = members_.size() - 1;
  if (index_.empty()) {
    if (members_.size() > kLinearLimit) rebuild_index();
  } else if (members_.size() * 2 > index_.size()) {
    rebuild_index();
  } else {
    index_insert(pos);
  }
  return members_[pos].value;
}

Value& Object::set(std::string_view key, Value value) {
  size_t i = index_of(key);
  if (i != npos) {
    members_[i].value = std::move(value);
    return members_[i].value;
  }
  return append_new(std::string(key), std::move(value));
}

Value& Object::set(std::string&& key, Value value) {
  size_t i = index_of(key);
  if (i != npos) {
    members_[i].value = std::move(value);
    return members_[i].value;
  }
  return append_new(std::move(key), std::move(value));
}

Value& Object::operator[](std::string_view key) {
  size_t i = index_of(key);
  if (i != npos) return members_[i].value;
  return append_new(std::string(key), Value());
}

bool Object::erase(std::string_view key) {
  const size_t i = index_of(key);
  if (i == npos) return false;
  const size_t last = members_.size() - 1;
  if (!index_.empty()) {
    // Drop the removed member's slot with backward-shift deletion, then point
    // the last member's slot at the gap it is about to fill.
    const size_t mask = index_.size() - 1;
    size_t hole = hash_key(key) & mask;
    while (index_[hole] != i + 1) hole = (hole + 1) & mask;
    size_t j = hole;
    while (true) {
      j = (j + 1) & mask;
      const uint32_t e = index_[j];
      if (e == 0) break;
      const size_t home = hash_key(members_[e - 1].key) & mask;
      // The entry at j may move into the hole unless its home lies
      // cyclically within (hole, j].
      const bool home_between = hole <= j ? (home > hole && home <= j) : (home > hole || home <= j);
      if (!home_between) {
        index_[hole] = e;
        hole = j;
      }
    }
    index_[hole] = 0;
    if (i != last) {
      size_t t = hash_key(members_[last].key) & mask;
      while (index_[t] != last + 1) t = (t + 1) & mask;
      index_[t] = static_cast<uint32_t>(i + 1);
    }
  }
  if (i != last) members_[i] = std::move(members_[last]);
  members_.pop_back();
  return true;
}

}  // namespace kesvo
