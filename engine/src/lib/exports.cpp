// The four exported C functions. Replies are allocated with malloc and
// released by kesvo_engine_free; request blocks from kesvo_engine_alloc are
// plain malloc blocks too.
#include <cstdlib>
#include <cstring>

#include "kesvo_engine.h"
#include "lib/envelope.h"

namespace {

char* copy_reply(const std::string& text) {
  char* reply = static_cast<char*>(std::malloc(text.size() + 1));
  if (!reply) return nullptr;
  std::memcpy(reply, text.data(), text.size());
  reply[text.size()] = '\0';
  return reply;
}

}  // namespace

extern "C" {

uint8_t* kesvo_engine_alloc(int32_t size) {
  if (size <= 0) return nullptr;
  return static_cast<uint8_t*>(std::malloc(static_cast<size_t>(size)));
}

void kesvo_engine_dealloc(uint8_t* p, int32_t len) {
  if (p == nullptr || len == 0) return;
  std::free(p);
}

char* kesvo_engine_eval(const char* request) {
  if (request == nullptr) return copy_reply(kesvo::error_envelope_text("null input"));
  return copy_reply(kesvo::eval_request_text(std::string_view(request, std::strlen(request))));
}

void kesvo_engine_free(char* reply) {
  if (reply == nullptr) return;
  reply[0] = '\0';
  std::free(reply);
}

}  // extern "C"
