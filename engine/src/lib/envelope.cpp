#include "lib/envelope.h"

#include "api/dispatch.h"
#include "core/json_reader.h"
#include "core/json_writer.h"
#include "core/utf8.h"

namespace kesvo {

std::string render_error(const EngineError& error) {
  switch (error.kind) {
    case ErrorKind::Override: return "override: " + error.message;
    case ErrorKind::Unsupported: return "unsupported: " + error.message;
    default: return error.message;
  }
}

std::string error_envelope_text(const std::string& message) {
  std::string out = "{\"ok\":false,\"error\":";
  write_json_string(message, out);
  out += '}';
  return out;
}

std::string envelope_text(const Result<Value>& outcome) {
  if (!outcome.ok()) return error_envelope_text(render_error(outcome.error()));
  std::string out = "{\"ok\":true,\"value\":";
  write_json(outcome.value(), out);
  out += '}';
  return out;
}

std::string eval_request_text(std::string_view request) {
  if (!valid_utf8(request)) return error_envelope_text("invalid UTF-8");
  auto parsed = read_json(request);
  if (!parsed.ok()) return error_envelope_text(parsed.error());
  return envelope_text(dispatch(parsed.value()));
}

}  // namespace kesvo
