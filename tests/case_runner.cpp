// Runs a table of request/reply cases through the engine's C interface.
//
// Each non-empty line of the file is a JSON object:
//   "request"       the request as a JSON value (sent as its compact text), or
//   "request_text"  the exact request text, or
//   "request_hex"   the request bytes in hex (for texts that are not UTF-8);
//   "reply"         the expected reply as a JSON value (compared with its
//                   compact text), or
//   "reply_text"    the exact expected reply text;
//   "note"          optional description, shown on failure.
// Lines starting with "//" are comments. Cases run in file order in one
// process, so later cases see the rule packs and drivers earlier ones made.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "core/json_reader.h"
#include "core/json_writer.h"
#include "kesvo_engine.h"

namespace {

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: kesvo_case_runner FILE.jsonl\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot open %s\n", argv[1]);
    return 2;
  }
  std::string line;
  int line_no = 0;
  int cases = 0;
  int failures = 0;
  while (std::getline(in, line)) {
    ++line_no;
    if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
    if (line.rfind("//", 0) == 0) continue;
    auto parsed = kesvo::read_json(line);
    if (!parsed.ok() || !parsed->is_object()) {
      std::fprintf(stderr, "%s:%d: malformed case: %s\n", argv[1], line_no,
                   parsed.ok() ? "not an object" : parsed.error().c_str());
      ++failures;
      continue;
    }
    const kesvo::Value& c = parsed.value();
    std::string request;
    if (const kesvo::Value* r = c.find("request")) {
      request = kesvo::to_json(*r);
    } else if (c["request_text"].is_string()) {
      request = c["request_text"].as_string();
    } else if (c["request_hex"].is_string()) {
      const std::string& hex = c["request_hex"].as_string();
      for (size_t i = 0; i + 1 < hex.size(); i += 2)
        request += static_cast<char>(hex_value(hex[i]) * 16 + hex_value(hex[i + 1]));
    } else {
      std::fprintf(stderr, "%s:%d: case without request\n", argv[1], line_no);
      ++failures;
      continue;
    }
    std::string expected;
    if (const kesvo::Value* r = c.find("reply")) {
      expected = kesvo::to_json(*r);
    } else if (c["reply_text"].is_string()) {
      expected = c["reply_text"].as_string();
    } else {
      std::fprintf(stderr, "%s:%d: case without reply\n", argv[1], line_no);
      ++failures;
      continue;
    }
    ++cases;
    char* reply = kesvo_engine_eval(request.c_str());
    const std::string actual = reply;
    kesvo_engine_free(reply);
    if (actual != expected) {
      ++failures;
      std::fprintf(stderr, "%s:%d: FAILED%s%s\n  request:  %s\n  expected: %s\n  actual:   %s\n", argv[1], line_no,
                   c["note"].is_string() ? ": " : "", c["note"].string_or_empty().data(),
                   request.size() > 2000 ? (request.substr(0, 2000) + "...").c_str() : request.c_str(),
                   expected.c_str(), actual.c_str());
    }
  }
  std::printf("%s: %d cases, %d failures\n", argv[1], cases, failures);
  return failures == 0 ? 0 : 1;
}
