// Mapping pages ahead is a hint: it keeps every byte of the range and of its
// neighbours as it was, whether or not the system offers it, and leaves the
// whole pages inside the range mapped where it does.
#include "runtime/fresh_pages.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>
#include <vector>

namespace hb::test {
namespace {

TEST(FreshPages, KeepEveryByteAndMapTheWholePagesInside) {
  const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  const std::size_t pages = 8;
  auto* area = static_cast<unsigned char*>(
      mmap(nullptr, pages * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
  ASSERT_NE(area, MAP_FAILED);
  // Written: the first page and part of the fourth; the rest never touched.
  std::memset(area, 0x5A, page);
  std::memset(area + 3 * page + 100, 0xA5, 200);
  // From inside the first page to inside the seventh: whole pages 1 to 5.
  MapFreshPages(area + page / 2, 6 * page);

  std::vector<unsigned char> expected(pages * page, 0);
  std::memset(expected.data(), 0x5A, page);
  std::memset(expected.data() + 3 * page + 100, 0xA5, 200);
  std::vector<unsigned char> resident(pages);
  const bool residency = mincore(area, pages * page, resident.data()) == 0;
  EXPECT_EQ(std::memcmp(area, expected.data(), expected.size()), 0);
  if (residency && madvise(area + 6 * page, page, 23 /* MADV_POPULATE_WRITE */) == 0) {
    for (std::size_t i = 1; i <= 5; ++i) EXPECT_TRUE(resident[i] & 1) << "page " << i;
    EXPECT_FALSE(resident[7] & 1) << "a page outside the range";
  }
  munmap(area, pages * page);
}

}  // namespace
}  // namespace hb::test
