#include "runtime/alloc.h"

#include <atomic>
#include <cstdlib>

namespace hb {
namespace {

// Number of allocations still to fail. Written only by tests.
std::atomic<int> g_failures_pending{0};

bool InjectedFailure() noexcept {
  if (g_failures_pending.load(std::memory_order_relaxed) == 0) return false;
  return g_failures_pending.fetch_sub(1, std::memory_order_relaxed) > 0;
}

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

ScopedAllocationFailure::ScopedAllocationFailure(int count) noexcept
    : saved_(g_failures_pending.exchange(count, std::memory_order_relaxed)) {}

ScopedAllocationFailure::~ScopedAllocationFailure() {
  g_failures_pending.store(saved_, std::memory_order_relaxed);
}

}  // namespace hb
