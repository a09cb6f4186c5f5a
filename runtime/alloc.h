// The one place where the runtime takes memory for string buffers, array
// blocks and object storage. Every caller treats a null result as "out of
// memory" (runtime error 7) and leaves its documented result behind.
//
// Tests make the next allocations fail with ScopedAllocationFailure; the check
// costs one relaxed load on the fast path.
#pragma once

#include <cstddef>

namespace hb {

// Returns a block of at least `bytes` bytes, or null when memory is exhausted
// or a failure has been injected. Blocks are suitably aligned for any type.
void* AllocateBlock(std::size_t bytes) noexcept;

// Like AllocateBlock, with every byte zero.
void* AllocateZeroedBlock(std::size_t bytes) noexcept;

// Grows or shrinks a block, keeping its first min(old, new) bytes. Returns
// null and leaves `block` untouched on failure.
void* ReallocateBlock(void* block, std::size_t bytes) noexcept;

// Frees a block from the functions above; null is ignored.
void FreeBlock(void* block) noexcept;

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
