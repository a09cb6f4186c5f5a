#include "containers/table_invariants.h"

#include <cstdio>
#include <cstdlib>

namespace hb {

void TableInvariantBroken(const char* invariant, int32_t where) noexcept {
  std::fprintf(stderr, "hashbench: container table broken: %s (at %d)\n", invariant, static_cast<int>(where));
  std::abort();
}

}  // namespace hb
