// Small blocks: every block of every size keeps its own bytes while others
// are made, freed and made again; zeroed blocks are zero also when they reuse
// a freed block; failure injection counts small allocations too.
#include "runtime/alloc.h"
#include "runtime/allocation_failure.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace hb::test {
namespace {

struct Held {
  unsigned char* block;
  std::size_t bytes;
  unsigned char mark;
};

void Fill(Held& h) { std::memset(h.block, h.mark, h.bytes); }

bool Intact(const Held& h) {
  for (std::size_t i = 0; i < h.bytes; ++i) {
    if (h.block[i] != h.mark) return false;
  }
  return true;
}

TEST(SmallBlocks, BlocksNeverOverlapAndZeroedOnesAreZeroWhenReused) {
  std::vector<Held> held;
  unsigned char mark = 1;
  auto make = [&](std::size_t bytes, bool zeroed) {
    void* block = zeroed ? AllocateZeroedSmallBlock(bytes) : AllocateSmallBlock(bytes);
    ASSERT_NE(block, nullptr) << bytes << " bytes";
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % 8, 0u) << bytes << " bytes";
    Held h{static_cast<unsigned char*>(block), bytes, mark};
    if (zeroed) {
      for (std::size_t i = 0; i < bytes; ++i) ASSERT_EQ(h.block[i], 0) << bytes << " bytes, byte " << i;
    }
    Fill(h);
    held.push_back(h);
    mark = static_cast<unsigned char>(mark % 250 + 1);
  };
  // Sizes across every class and past the largest one, several of each.
  for (int round = 0; round < 3; ++round) {
    for (std::size_t bytes = 1; bytes <= kSmallBlockLimit + 16; ++bytes) make(bytes, round == 1);
  }
  // Free every other block, then make the same sizes again, zeroed: they
  // reuse the freed blocks, whose bytes were marked.
  std::vector<Held> kept;
  std::vector<std::size_t> freedSizes;
  for (std::size_t i = 0; i < held.size(); ++i) {
    if (i % 2 == 0) {
      kept.push_back(held[i]);
    } else {
      FreeSmallBlock(held[i].block, held[i].bytes);
      freedSizes.push_back(held[i].bytes);
    }
  }
  held = kept;
  for (const std::size_t bytes : freedSizes) make(bytes, true);
  for (const Held& h : held) EXPECT_TRUE(Intact(h)) << h.bytes << " bytes, mark " << int{h.mark};
  for (const Held& h : held) FreeSmallBlock(h.block, h.bytes);
  FreeSmallBlock(nullptr, 8);
}

// Far more blocks than one chunk holds, of sizes that do not divide it: the
// blocks cut near each chunk's end must stay inside it and apart from the
// first blocks of the next.
TEST(SmallBlocks, BlocksStayApartAcrossManyChunks) {
  std::vector<Held> held;
  for (int i = 0; i < 12000; ++i) {
    const std::size_t bytes = i % 3 == 0 ? 40 : kSmallBlockLimit - static_cast<std::size_t>(i % 5);
    void* block = AllocateSmallBlock(bytes);
    ASSERT_NE(block, nullptr) << "block " << i;
    held.push_back({static_cast<unsigned char*>(block), bytes, static_cast<unsigned char>(i % 250 + 1)});
    Fill(held.back());
  }
  for (const Held& h : held) EXPECT_TRUE(Intact(h)) << h.bytes << " bytes, mark " << int{h.mark};
  for (const Held& h : held) FreeSmallBlock(h.block, h.bytes);
}

TEST(SmallBlocks, InjectedFailuresCountSmallAllocations) {
  void* first;
  void* second;
  {
    ScopedAllocationFailure failing(1);
    first = AllocateSmallBlock(24);
    second = AllocateZeroedSmallBlock(24);
  }
  EXPECT_EQ(first, nullptr);
  ASSERT_NE(second, nullptr);
  {
    ScopedAllocationFailure failing(1);
    first = AllocateZeroedSmallBlock(200);
  }
  EXPECT_EQ(first, nullptr);
  FreeSmallBlock(second, 24);
}

}  // namespace
}  // namespace hb::test
