#include "runtime/alloc.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace hb {
namespace {

// Number of allocations still to fail. Written only by tests.
std::atomic<int> g_failures_pending{0};

bool InjectedFailure() noexcept {
  if (g_failures_pending.load(std::memory_order_relaxed) == 0) return false;
  return g_failures_pending.fetch_sub(1, std::memory_order_relaxed) > 0;
}

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

#if HB_SMALL_BLOCK_POOL

constexpr std::size_t kGrain = 8;
constexpr std::size_t kClassCount = kSmallBlockLimit / kGrain;
constexpr std::size_t kChunkBytes = std::size_t{64} * 1024;

constexpr std::size_t ClassOf(std::size_t bytes) { return (bytes + kGrain - 1) / kGrain - 1; }

struct FreeBlockLink {
  FreeBlockLink* next;
};

// Chunks start with a link to the chunk made before, so that every chunk
// stays reachable from g_chunks until the process ends (a leak checker sees
// them as still in use, never as lost).
struct ChunkHeader {
  ChunkHeader* previous;
  std::max_align_t padding;
};

std::mutex g_chunkMutex;
ChunkHeader* g_chunks = nullptr;

struct ThreadPool {
  FreeBlockLink* free[kClassCount];
  char* bump;       // next unused byte of this thread's current chunk
  char* bumpEnd;
};
thread_local ThreadPool t_pool;

// A new chunk for this thread; its unused rest of the old one is abandoned
// (at most one block of the largest class).
bool RefillChunk(ThreadPool& pool) noexcept {
  void* memory = std::malloc(kChunkBytes);
  if (memory == nullptr) return false;
  auto* header = static_cast<ChunkHeader*>(memory);
  {
    const std::lock_guard<std::mutex> lock(g_chunkMutex);
    header->previous = g_chunks;
    g_chunks = header;
  }
  pool.bump = static_cast<char*>(memory) + sizeof(ChunkHeader);
  pool.bumpEnd = static_cast<char*>(memory) + kChunkBytes;
  return true;
}

void* TakeSmall(std::size_t bytes) noexcept {
  const std::size_t cls = ClassOf(bytes);
  ThreadPool& pool = t_pool;
  if (FreeBlockLink* block = pool.free[cls]) {
    pool.free[cls] = block->next;
    return block;
  }
  const std::size_t size = (cls + 1) * kGrain;
  if (static_cast<std::size_t>(pool.bumpEnd - pool.bump) < size && !RefillChunk(pool)) return nullptr;
  void* block = pool.bump;
  pool.bump += size;
  return block;
}

void GiveBackSmall(void* block, std::size_t bytes) noexcept {
  const std::size_t cls = ClassOf(bytes);
  ThreadPool& pool = t_pool;
  auto* link = static_cast<FreeBlockLink*>(block);
  link->next = pool.free[cls];
  pool.free[cls] = link;
}

#endif  // HB_SMALL_BLOCK_POOL

}  // namespace

void* AllocateBlock(std::size_t bytes) noexcept {
  if (InjectedFailure()) return nullptr;
  return std::malloc(bytes == 0 ? 1 : bytes);
}

void* AllocateZeroedBlock(std::size_t bytes) noexcept {
  if (InjectedFailure()) return nullptr;
  return std::calloc(bytes == 0 ? 1 : bytes, 1);
}

void* ReallocateBlock(void* block, std::size_t bytes) noexcept {
  if (InjectedFailure()) return nullptr;
  return std::realloc(block, bytes == 0 ? 1 : bytes);
}

void FreeBlock(void* block) noexcept { std::free(block); }

#if HB_SMALL_BLOCK_POOL

void* AllocateSmallBlock(std::size_t bytes) noexcept {
  if (bytes == 0 || bytes > kSmallBlockLimit) return AllocateBlock(bytes);
  if (InjectedFailure()) return nullptr;
  return TakeSmall(bytes);
}

void* AllocateZeroedSmallBlock(std::size_t bytes) noexcept {
  if (bytes == 0 || bytes > kSmallBlockLimit) return AllocateZeroedBlock(bytes);
  if (InjectedFailure()) return nullptr;
  void* block = TakeSmall(bytes);
  if (block != nullptr) std::memset(block, 0, bytes);
  return block;
}

void FreeSmallBlock(void* block, std::size_t bytes) noexcept {
  if (block == nullptr) return;
  if (bytes == 0 || bytes > kSmallBlockLimit) {
    FreeBlock(block);
    return;
  }
  GiveBackSmall(block, bytes);
}

#else

void* AllocateSmallBlock(std::size_t bytes) noexcept { return AllocateBlock(bytes); }
void* AllocateZeroedSmallBlock(std::size_t bytes) noexcept { return AllocateZeroedBlock(bytes); }
void FreeSmallBlock(void* block, std::size_t) noexcept { FreeBlock(block); }

#endif  // HB_SMALL_BLOCK_POOL

ScopedAllocationFailure::ScopedAllocationFailure(int count) noexcept
    : saved_(g_failures_pending.exchange(count, std::memory_order_relaxed)) {}

ScopedAllocationFailure::~ScopedAllocationFailure() {
  g_failures_pending.store(saved_, std::memory_order_relaxed);
}

}  // namespace hb
