// A short busy wait for a flag another thread sets soon.
//
// The main thread hands each print's drawing to the console thread and waits
// for it. Sleeping on a condition variable for those few tens of microseconds
// leaves the main thread's core idle, and the scheduler then runs the X server
// or the console thread there: the next timed pass starts on caches full of
// pixels, and at 1,000 keys that doubled the printed ticks of a lookup pass.
// Spinning keeps the core busy, so the drawing goes to the other core. It is
// bounded, and only worth doing when the thread that sets the flag can run on
// another processor than the waiting one: the caller decides that and passes
// a bound of zero otherwise.
#pragma once

#include <atomic>
#include <chrono>

namespace hb {

inline void CpuRelax() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_ia32_pause();
#elif defined(__aarch64__)
  asm volatile("yield");
#endif
}

// Waits until `flag` is true (true) or `bound` has passed (false). The clock is
// read once every 64 looks at the flag.
inline bool SpinUntilSet(const std::atomic<bool>& flag, std::chrono::microseconds bound) {
  if (bound.count() <= 0) return flag.load(std::memory_order_acquire);
  const auto deadline = std::chrono::steady_clock::now() + bound;
  do {
    for (int i = 0; i < 64; ++i) {
      if (flag.load(std::memory_order_acquire)) return true;
      CpuRelax();
    }
  } while (std::chrono::steady_clock::now() < deadline);
  return flag.load(std::memory_order_acquire);
}

}  // namespace hb
