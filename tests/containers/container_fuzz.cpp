// Fuzz target: the differential check of differential.h driven by the input.
//
// Byte 0 picks the container; then every 4 bytes are one operation:
//   [kind] [key low] [key high / value] [index]
// Keys come from a universe of 2048 numbers, so chains, re-adds and removals
// of present keys are common. One kind adds a run of new keys (up to 1275 at
// a time) so that tables pass 1000 entries and removals cross the
// renumbering switch. The full check runs after every operation while the
// table is small and after every run of additions.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/containers/adapters.h"
#include "tests/containers/differential.h"

namespace hb::test {
namespace {

constexpr int32_t kMaxEntries = 3000;
constexpr int32_t kCheckEveryStepBelow = 400;

[[noreturn]] void Mismatch(const std::string& what) {
  std::fprintf(stderr, "container mismatch: %s\n", what.c_str());
  std::abort();
}

template <class A>
void Run(const uint8_t* data, std::size_t size) {
  const int32_t liveBefore = LiveObjectCount();
  {
    Differential<A> run;
    uint32_t fresh = 4096;  // keys of runs lie above the random universe
    for (std::size_t at = 0; at + 4 <= size; at += 4) {
      const uint8_t kind = data[at] % 16;
      const uint32_t key = (data[at + 1] | (uint32_t{data[at + 2]} << 8)) % 2048;
      const int value = data[at + 2];
      const int32_t small = run.Size() < kCheckEveryStepBelow;
      Op op{OpKind::kLookup, key, value, 0};
      if (kind <= 4) {
        op.kind = OpKind::kAdd;
      } else if (kind <= 6) {
        op.kind = OpKind::kSetItem;
      } else if (kind <= 8) {
        op.kind = OpKind::kRemove;
      } else if (kind <= 10) {  // anywhere, including just outside the table
        op.kind = OpKind::kRemoveAt;
        op.index = static_cast<int32_t>((data[at + 3] | (uint32_t{data[at + 1]} << 8)) % static_cast<uint32_t>(run.Size() + 3)) - 1;
      } else if (kind == 11) {
        op.kind = data[at + 3] < 16 ? OpKind::kClear : OpKind::kLookup;
      } else if (kind == 14) {
        const int32_t count = data[at + 3] * 5;
        for (int32_t i = 0; i < count && run.Size() < kMaxEntries; ++i) {
          const std::string error = run.Apply({OpKind::kAdd, fresh++, value, 0}, false);
          if (!error.empty()) Mismatch(error);
        }
        const std::string error = run.Check();
        if (!error.empty()) Mismatch(error);
        continue;
      } else if (kind == 15) {  // near the front: many entries behind
        op.kind = OpKind::kRemoveAt;
        op.index = data[at + 3];
      }
      if (op.kind == OpKind::kAdd && run.Size() >= kMaxEntries) op.kind = OpKind::kLookup;
      const std::string error = run.Apply(op, small || op.kind == OpKind::kRemoveAt);
      if (!error.empty()) Mismatch(error);
    }
    const std::string error = run.Check();
    if (!error.empty()) Mismatch(error);
  }
  if (LiveObjectCount() != liveBefore) Mismatch("objects left alive");
  for (int id = 0; id < kPoolSize; ++id) {
    if (ValuePool()[id].Count() != 1) Mismatch("value counts not restored");
  }
}

}  // namespace
}  // namespace hb::test

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace hb::test;
  if (size == 0) return 0;
  switch (data[0] % 4) {
    case 0: Run<BagAdapter>(data + 1, size - 1); break;
    case 1: Run<StringMapAdapter>(data + 1, size - 1); break;
    case 2: Run<ObjectMapAdapter>(data + 1, size - 1); break;
    default: Run<NumberMapAdapter>(data + 1, size - 1); break;
  }
  return 0;
}
