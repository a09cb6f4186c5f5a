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

// Blocks for callers that know the size of what they give back: string
// buffers and object storage. Up to kSmallBlockLimit bytes a block comes from
// a free list of its size class (multiples of 8 bytes) kept per thread and
// refilled from chunks that are never returned to the system; a freed block
// waits there for the next request of its class, without the general heap's
// bookkeeping or its per-block header. Larger requests go to AllocateBlock.
// Blocks are 8-byte aligned. A small block may be freed on another thread
// than the one that made it. FreeSmallBlock must get the size the block was
// asked for; null is ignored. Failure injection counts these allocations like
// the others.
//
// Builds with AddressSanitizer or ThreadSanitizer serve every small block
// from the general heap, so that the sanitizer sees each one.
inline constexpr std::size_t kSmallBlockLimit = 64;
void* AllocateSmallBlock(std::size_t bytes) noexcept;
void* AllocateZeroedSmallBlock(std::size_t bytes) noexcept;
void FreeSmallBlock(void* block, std::size_t bytes) noexcept;

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
