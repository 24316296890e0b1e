#include "api/request.h"

namespace kesvo {

std::vector<std::string> req_string_list(const Value& req, std::string_view name) {
  std::vector<std::string> out;
  const Value& v = req[name];
  if (v.is_string()) {
    out.push_back(v.as_string());
  } else if (v.is_array()) {
    for (const Value& item : v.as_array()) {
      if (item.is_string()) out.push_back(item.as_string());
    }
  }
  return out;
}

std::optional<double> req_double(const Value& req, std::string_view name) {
  const Value& v = req[name];
  if (!v.is_number()) return std::nullopt;
  return v.number_as_double();
}

}  // namespace kesvo
