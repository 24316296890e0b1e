// Reading request members. A request that is not an object reads as an
// object without members; an absent member reads as null.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/json.h"
#include "core/result.h"

namespace kesvo {

// The member `name` of the request, or null.
inline const Value& req_member(const Value& req, std::string_view name) { return req[name]; }

// Whether the member is present and not null.
inline bool req_has(const Value& req, std::string_view name) {
  const Value* v = req.find(name);
  return v && !v->is_null();
}

// A string member; anything but a string reads as the empty string.
inline std::string_view req_string(const Value& req, std::string_view name) {
  return req[name].string_or_empty();
}

// A list of strings: an array contributes its string items, a string is a
// one-item list, anything else is empty.
std::vector<std::string> req_string_list(const Value& req, std::string_view name);

// A number read as a double: integers converted to the nearest double,
// floats as they are; nothing for non-numbers.
std::optional<double> req_double(const Value& req, std::string_view name);

// A typed member: the member (null when absent) converted by `convert`,
// which returns Result<T, std::string>. A failed conversion is a Request
// error "name: message".
template <class T, class Convert>
Result<T> req_typed(const Value& req, std::string_view name, Convert&& convert) {
  Result<T, std::string> r = convert(req[name]);
  if (!r.ok()) return fail(ErrorKind::Request, std::string(name) + ": " + r.error());
  return std::move(r).value();
}

}  // namespace kesvo
