// The benchmark clock: the processor's time-stamp counter on x86-64, a steady
// nanosecond clock elsewhere. Only differences of two readings mean anything.
#pragma once

#include <cstdint>

#if defined(__x86_64__) || defined(__i386__)
#include <x86intrin.h>
#else
#include <chrono>
#endif

namespace hb {

inline int64_t ReadTicks() noexcept {
#if defined(__x86_64__) || defined(__i386__)
  return static_cast<int64_t>(__rdtsc());
#else
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
#endif
}

}  // namespace hb
