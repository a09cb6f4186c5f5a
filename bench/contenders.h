// The containers the suite times: ours (when the build has them) and the
// peers a user would pick instead, each as a bag adapter and a map adapter.
#pragma once

#include <cstdint>
#include <span>

#include "bench/passes.h"

namespace hb::bench {

struct Contender {
  const char* name;   // command-line and table name
  const char* label;  // what it is, for the table's legend
  PassTicks (*runPasses)(int32_t n, bool runAscending, PassCounts& counts);
  // Builds n keys into a fresh bag (or map) and returns its Count(); the
  // caller reads the peak memory while the container still lives.
  int32_t (*buildAndMeasure)(bool map, int32_t n, long& peakKb);
};

std::span<const Contender> Contenders();
const Contender* FindContender(const char* name);

}  // namespace hb::bench
