#include "runtime/alloc.h"
#include "runtime/allocation_failure.h"
#include "runtime/fresh_pages.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <mutex>

namespace hb {

namespace alloc_detail {

// Number of allocations still to fail. Written only by tests.
std::atomic<int> g_failuresPending{0};

constinit thread_local ThreadBlocks g_threadBlocks{};

}  // namespace alloc_detail

namespace {

using alloc_detail::g_failuresPending;

bool InjectedFailure() noexcept {
  if (g_failuresPending.load(std::memory_order_relaxed) == 0) return false;
  return g_failuresPending.fetch_sub(1, std::memory_order_relaxed) > 0;
}

#if HB_SMALL_BLOCK_POOL

using alloc_detail::ClassOf;
using alloc_detail::kGrain;
using alloc_detail::ThreadBlocks;

constexpr std::size_t kChunkBytes = std::size_t{64} * 1024;

// Chunks start with a link to the chunk made before, so that every chunk
// stays reachable from g_chunks until the process ends (a leak checker sees
// them as still in use, never as lost). Chunks are never freed: a small
// block may be in use until the very end.
struct ChunkHeader {
  ChunkHeader* previous;
  std::max_align_t padding;
};

std::mutex g_chunkMutex;
ChunkHeader* g_chunks = nullptr;

// A new chunk for this thread; the unused rest of the old one (less than one
// block of the largest class) is abandoned. Blocks are cut from a chunk front
// to back, so every page of it is about to be written: they are mapped in one
// go.
bool RefillChunk(ThreadBlocks& blocks) noexcept {
  void* memory = std::malloc(kChunkBytes);
  if (memory == nullptr) return false;
  MapFreshPages(memory, kChunkBytes);
  auto* header = static_cast<ChunkHeader*>(memory);
  {
    const std::lock_guard<std::mutex> lock(g_chunkMutex);
    header->previous = g_chunks;
    g_chunks = header;
  }
  blocks.bump = static_cast<char*>(memory) + sizeof(ChunkHeader);
  blocks.bumpEnd = static_cast<char*>(memory) + kChunkBytes;
  return true;
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
// The inline path found no listed block and no room left in the chunk, or
// failures are being injected, or the size is not small.
void* alloc_detail::AllocateSmallBlockSlow(std::size_t bytes) noexcept {
  if (bytes == 0 || bytes > kSmallBlockLimit) return AllocateBlock(bytes);
  if (InjectedFailure()) return nullptr;
  ThreadBlocks& blocks = g_threadBlocks;
  const std::size_t cls = ClassOf(bytes);
  if (alloc_detail::FreeLink* block = blocks.free[cls]) {
    blocks.free[cls] = block->next;
    return block;
  }
  const std::size_t size = (cls + 1) * kGrain;
  if (static_cast<std::size_t>(blocks.bumpEnd - blocks.bump) < size && !RefillChunk(blocks)) return nullptr;
  void* block = blocks.bump;
  blocks.bump += size;
  return block;
}
#else
void* alloc_detail::AllocateSmallBlockSlow(std::size_t bytes) noexcept { return AllocateBlock(bytes); }
#endif

ScopedAllocationFailure::ScopedAllocationFailure(int count) noexcept
    : saved_(g_failuresPending.exchange(count, std::memory_order_relaxed)) {}

ScopedAllocationFailure::~ScopedAllocationFailure() {
  g_failuresPending.store(saved_, std::memory_order_relaxed);
}

}  // namespace hb
