// Loads the shared library the way a host does and drives it through the
// four exported functions.
#include <dlfcn.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

int failures = 0;

void expect(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "FAILED: %s\n", what);
    ++failures;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  void* lib = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  if (!lib) {
    std::fprintf(stderr, "dlopen: %s\n", dlerror());
    return 1;
  }
  using Eval = char* (*)(const char*);
  using Free = void (*)(char*);
  using Alloc = uint8_t* (*)(int32_t);
  using Dealloc = void (*)(uint8_t*, int32_t);
  auto eval = reinterpret_cast<Eval>(dlsym(lib, "kesvo_engine_eval"));
  auto release = reinterpret_cast<Free>(dlsym(lib, "kesvo_engine_free"));
  auto alloc = reinterpret_cast<Alloc>(dlsym(lib, "kesvo_engine_alloc"));
  auto dealloc = reinterpret_cast<Dealloc>(dlsym(lib, "kesvo_engine_dealloc"));
  expect(eval && release && alloc && dealloc, "all four functions resolve");
  if (failures) return 1;

  char* reply = eval(nullptr);
  expect(std::strcmp(reply, "{\"ok\":false,\"error\":\"null input\"}") == 0, "null input");
  release(reply);

  // A request built inside an engine-allocated block, as a host in another
  // language would do it.
  const char text[] = "{\"op\":\"merge\",\"mappings\":[{\"a\":1},{\"b\":[1.0,\"\\u0000\"]}]}";
  uint8_t* block = alloc(sizeof text);
  expect(block != nullptr, "alloc");
  std::memcpy(block, text, sizeof text);
  reply = eval(reinterpret_cast<const char*>(block));
  dealloc(block, sizeof text);
  expect(std::strcmp(reply, "{\"ok\":true,\"value\":{\"a\":1,\"b\":[1.0,\"\\u0000\"]}}") == 0, "merge reply");
  release(reply);

  expect(alloc(0) == nullptr, "alloc(0) is NULL");
  expect(alloc(-1) == nullptr, "alloc(-1) is NULL");
  dealloc(nullptr, 5);
  uint8_t* one = alloc(1);
  dealloc(one, 0);  // length 0 does nothing (the block leaks by contract)
  dealloc(one, 1);
  release(nullptr);

  dlclose(lib);
  return failures == 0 ? 0 : 1;
}
