// kesvo: runs engine requests from the command line.
//
// Reads requests, one JSON text per line, from the files named on the
// command line (or standard input when there are none, or for "-"), and
// writes each reply on its own line to standard output exactly as
// kesvo_engine_eval returned it. Empty lines are skipped.
#include <cstdio>
#include <cstring>
#include <iostream>
#include <fstream>
#include <string>

#include "kesvo_engine.h"

namespace {

constexpr const char* kUsage =
    "usage: kesvo [FILE...]\n"
    "\n"
    "Runs Kesvo engine requests. Each non-empty line of the input is one JSON\n"
    "request such as {\"op\":\"merge\",\"mappings\":[{\"a\":1}]}; each reply is\n"
    "written on its own line to standard output, exactly as the engine's C\n"
    "interface returned it ({\"ok\":true,\"value\":...} or {\"ok\":false,\"error\":...}).\n"
    "\n"
    "Requests are read from the named files in order, or from standard input\n"
    "when no file is named or the name is \"-\". All requests of one run share\n"
    "the engine's installed rule packs and open drivers.\n"
    "\n"
    "options:\n"
    "  -h, --help   show this text\n";

void run_stream(std::istream& in) {
  std::string line;
  while (std::getline(in, line)) {
    bool blank = true;
    for (char c : line) {
      if (c != ' ' && c != '\t' && c != '\r') {
        blank = false;
        break;
      }
    }
    if (blank) continue;
    char* reply = kesvo_engine_eval(line.c_str());
    std::fputs(reply, stdout);
    std::fputc('\n', stdout);
    kesvo_engine_free(reply);
  }
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    }
  }
  if (argc == 1) {
    run_stream(std::cin);
    return 0;
  }
  int status = 0;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "-") == 0) {
      run_stream(std::cin);
      continue;
    }
    std::ifstream file(argv[i], std::ios::binary);
    if (!file) {
      std::fprintf(stderr, "kesvo: cannot open %s\n", argv[i]);
      status = 1;
      continue;
    }
    run_stream(file);
  }
  std::fflush(stdout);
  return status;
}
