#include "api/request.h"

#include "core/value_rules.h"

namespace kesvo {

std::vector<std::string> req_string_list(const Value& req, std::string_view name) { return string_list(req[name]); }

std::optional<double> req_double(const Value& req, std::string_view name) {
  const Value& v = req[name];
  if (!v.is_number()) return std::nullopt;
  return v.number_as_double();
}

}  // namespace kesvo
