// The console's own thread on POSIX systems: a stack of a size of its own
// (a thread otherwise gets the process's stack limit, `ulimit -s`, which may
// be far too small for the font libraries, or far larger than a tight memory
// limit allows), and a join that gives up after a bound instead of hanging
// behind a thread that is stuck.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>

#include <pthread.h>

namespace hb {

class ConsoleThread {
 public:
  ConsoleThread() = default;
  ConsoleThread(const ConsoleThread&) = delete;
  ConsoleThread& operator=(const ConsoleThread&) = delete;
  ~ConsoleThread();  // a thread still running is left to run (see JoinWithin)

  // Starts `body` on a new thread with a stack of `stackBytes`. Returns 0, or
  // the error number when the thread could not be made.
  int Start(std::function<void()> body, std::size_t stackBytes);

  bool Running() const { return started_; }

  // True when this thread and the calling one may run at the same time on
  // two processors: between them their allowed processors number two or
  // more. False when both are held to one and the same processor, or when
  // the thread is not running.
  bool CanRunBesideCaller() const;

  // Waits until the thread has ended, but no longer than `bound`. True when
  // it has ended (or never ran); false when the bound passed first.
  bool JoinWithin(std::chrono::milliseconds bound);

 private:
  static void* Trampoline(void* self);

  std::function<void()> body_;
  pthread_t thread_{};
  bool started_ = false;
};

}  // namespace hb
