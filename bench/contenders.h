// The containers the suite times: ours and the peers a user would pick
// instead, each as a bag adapter and a map adapter.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "bench/passes.h"

namespace hb::bench {

// How a row of the table uses its container.
enum class Form {
  kOurs,          // ours through its interfaces, the suite's key generator
  kProgram,       // ours with the program's own RandomKey in the build passes
  kViews,         // ours read in place through the C++ face's views
  kSameContract,  // a peer handing out new copies from KeyAt and Item
  kByReference,   // a peer read by reference, as its users write it
};

// "ours", "program", "views", "copies", "ref": the form column of `list`.
const char* FormName(Form form);

struct Contender {
  const char* name;   // command-line and table name
  const char* peer;   // the container it times: the same for both forms of a peer
  Form form;
  const char* label;  // what it is, for the table's legend
  PassTicks (*runPasses)(int32_t n, bool runAscending, PassCounts& counts);
  // Builds n keys into a fresh bag (or map) and returns its Count(); the
  // caller reads the peak memory while the container still lives.
  int32_t (*buildAndMeasure)(bool map, int32_t n, long& peakKb);
};

std::span<const Contender> Contenders();
const Contender* FindContender(const char* name);

}  // namespace hb::bench
