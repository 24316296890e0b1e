// The reply envelope: {"ok":true,"value":V} or {"ok":false,"error":"M"}.
#pragma once

#include <string>

#include "core/json.h"
#include "core/result.h"

namespace kesvo {

// The message written into a reply for an error: the category prefixes
// "override: " and "unsupported: " are added here and nowhere else.
std::string render_error(const EngineError& error);

// The compact envelope text for an operation's outcome.
std::string envelope_text(const Result<Value>& outcome);

// The envelope text of a failure given as its final message.
std::string error_envelope_text(const std::string& message);

// Runs one request text (already known to be NUL-free) through reading,
// dispatch and the envelope.
std::string eval_request_text(std::string_view request);

}  // namespace kesvo
