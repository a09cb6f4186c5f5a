// The one place where the runtime takes memory for string buffers, array
// blocks and object storage. Every caller treats a null result as "out of
// memory" (runtime error 7) and leaves its documented result behind.
//
// Tests make the next allocations fail with ScopedAllocationFailure
// (allocation_failure.h); the check costs one relaxed load on the fast path.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstring>

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

// --- inline fast paths of the small blocks -----------------------------------

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define HB_SMALL_BLOCK_POOL 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define HB_SMALL_BLOCK_POOL 0
#endif
#endif
#ifndef HB_SMALL_BLOCK_POOL
#define HB_SMALL_BLOCK_POOL 1
#endif

namespace alloc_detail {

inline constexpr std::size_t kGrain = 8;
inline constexpr std::size_t kClassCount = kSmallBlockLimit / kGrain;

// Size class of 1 to kSmallBlockLimit bytes.
constexpr std::size_t ClassOf(std::size_t bytes) noexcept { return (bytes - 1) / kGrain; }

struct FreeLink {
  FreeLink* next;
};

// This thread's free lists, one per size class, and the part of its current
// chunk not yet handed out (see alloc.cpp).
struct ThreadBlocks {
  FreeLink* free[kClassCount];
  char* bump;
  char* bumpEnd;
};
extern constinit thread_local ThreadBlocks g_threadBlocks;

// Non-zero while failures are being injected (ScopedAllocationFailure,
// allocation_failure.h).
extern std::atomic<int> g_failuresPending;

void* AllocateSmallBlockSlow(std::size_t bytes) noexcept;

}  // namespace alloc_detail

#if HB_SMALL_BLOCK_POOL

namespace alloc_detail {
// A block of 1 to kSmallBlockLimit bytes from its class's free list, else
// from the rest of the thread's current chunk; null when neither has one or
// a failure is being injected (the caller then takes the full path, which
// also starts new chunks).
inline void* TakeReadySmallBlock(std::size_t bytes) noexcept {
  if (g_failuresPending.load(std::memory_order_relaxed) != 0) return nullptr;
  ThreadBlocks& blocks = g_threadBlocks;
  const std::size_t cls = ClassOf(bytes);
  if (FreeLink* block = blocks.free[cls]) {
    blocks.free[cls] = block->next;
    return block;
  }
  const std::size_t size = (cls + 1) * kGrain;
  if (static_cast<std::size_t>(blocks.bumpEnd - blocks.bump) < size) return nullptr;
  void* block = blocks.bump;
  blocks.bump += size;
  return block;
}
}  // namespace alloc_detail

inline void* AllocateSmallBlock(std::size_t bytes) noexcept {
  using namespace alloc_detail;
  if (bytes - 1 < kSmallBlockLimit) {
    if (void* block = TakeReadySmallBlock(bytes)) return block;
  }
  return AllocateSmallBlockSlow(bytes);
}

inline void FreeSmallBlock(void* block, std::size_t bytes) noexcept {
  using namespace alloc_detail;
  if (bytes - 1 < kSmallBlockLimit) {
    if (block == nullptr) return;
    auto* link = static_cast<FreeLink*>(block);
    FreeLink*& head = g_threadBlocks.free[ClassOf(bytes)];
    link->next = head;
    head = link;
    return;
  }
  FreeBlock(block);
}

inline void* AllocateZeroedSmallBlock(std::size_t bytes) noexcept {
  if (bytes - 1 >= kSmallBlockLimit) return AllocateZeroedBlock(bytes);
  void* block = AllocateSmallBlock(bytes);
  if (block != nullptr) std::memset(block, 0, bytes);
  return block;
}

#else

namespace alloc_detail {
inline void* TakeReadySmallBlock(std::size_t) noexcept { return nullptr; }
}  // namespace alloc_detail

inline void* AllocateSmallBlock(std::size_t bytes) noexcept { return AllocateBlock(bytes); }
inline void* AllocateZeroedSmallBlock(std::size_t bytes) noexcept { return AllocateZeroedBlock(bytes); }
inline void FreeSmallBlock(void* block, std::size_t) noexcept { FreeBlock(block); }

#endif  // HB_SMALL_BLOCK_POOL

}  // namespace hb
