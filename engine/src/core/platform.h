// Platform facilities the engine needs from its host environment: mutual
// exclusion, shared ownership and one-time initialisation. Everything that
// depends on threads goes through this header, so a single-threaded build
// (for example WebAssembly without threads) can define KESVO_SINGLE_THREAD
// and get no-op locks instead.
#pragma once

#include <memory>
#include <utility>

#ifndef KESVO_SINGLE_THREAD
#include <mutex>
#endif

namespace kesvo {

// Shared, reference-counted ownership of immutable data (installed rule
// packs, live drivers). Released with the last holder.
template <class T>
using Shared = std::shared_ptr<T>;

template <class T, class... Args>
Shared<T> make_shared(Args&&... args) {
  return std::make_shared<T>(std::forward<Args>(args)...);
}

#ifndef KESVO_SINGLE_THREAD

// A mutual-exclusion lock. The engine never unwinds while holding one (it is
// built without exceptions), so a lock can not be left abandoned by a failed
// holder; `lock` therefore always succeeds here, but callers still treat its
// result as fallible so a platform that can detect abandonment can report it.
class Mutex {
 public:
  [[nodiscard]] bool lock() {
    m_.lock();
    return true;
  }
  void unlock() { m_.unlock(); }

 private:
  std::mutex m_;
};

class OnceFlag {
 public:
  template <class F>
  void call(F&& f) {
    std::call_once(flag_, std::forward<F>(f));
  }

 private:
  std::once_flag flag_;
};

#else

class Mutex {
 public:
  [[nodiscard]] bool lock() { return true; }
  void unlock() {}
};

class OnceFlag {
 public:
  template <class F>
  void call(F&& f) {
    if (!done_) {
      done_ = true;
      std::forward<F>(f)();
    }
  }

 private:
  bool done_ = false;
};

#endif

// Scoped holder of a Mutex; `ok()` is false when the lock could not be taken.
class LockGuard {
 public:
  explicit LockGuard(Mutex& m) : m_(m), ok_(m.lock()) {}
  ~LockGuard() {
    if (ok_) m_.unlock();
  }
  LockGuard(const LockGuard&) = delete;
  LockGuard& operator=(const LockGuard&) = delete;
  [[nodiscard]] bool ok() const { return ok_; }

 private:
  Mutex& m_;
  bool ok_;
};

}  // namespace kesvo
