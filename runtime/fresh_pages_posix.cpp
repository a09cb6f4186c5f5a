#include "runtime/fresh_pages.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

// Linux 5.14 and later; an older kernel refuses the advice, which is harmless.
#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23
#endif

namespace hb {

void MapFreshPages(void* block, std::size_t bytes) noexcept {
  static const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const uintptr_t start = reinterpret_cast<uintptr_t>(block);
  const uintptr_t first = (start + page - 1) & ~(page - 1);
  const uintptr_t end = (start + bytes) & ~(page - 1);
  if (end > first) madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
}

}  // namespace hb
