// ScopedAllocationFailure: makes the runtime's allocations (alloc.h) fail on
// purpose, so that tests reach every out-of-memory path. A test aid, not part
// of the installed library's headers.
#pragma once

namespace hb {

// Makes the next `count` allocations fail, then lets them through again.
// Nests: the previous setting is restored when the scope ends.
class ScopedAllocationFailure {
 public:
  explicit ScopedAllocationFailure(int count) noexcept;
  ~ScopedAllocationFailure();
  ScopedAllocationFailure(const ScopedAllocationFailure&) = delete;
  ScopedAllocationFailure& operator=(const ScopedAllocationFailure&) = delete;

 private:
  int saved_;
};

}  // namespace hb
