// Time-stamp counter readings, the unit in which every pass is reported.
#pragma once

#include <x86intrin.h>

#include <cstdint>

namespace hb::bench {

inline int64_t ReadTicks() { return static_cast<int64_t>(__rdtsc()); }

}  // namespace hb::bench
