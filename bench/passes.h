// The program's seven timed passes, written once for every container.
//
// A container is reached through a small adapter with the program's vocabulary:
//   bag: Add(key), Count(), KeyAt(i), IndexOf(key), RemoveAt(i)
//   map: SetItem(key) (value = a copy of the key), Count(), KeyAt(i),
//        Contains(key), Item(key)
// and names its key type `Key`. A key crosses into Add and SetItem as one new
// owned string, as the program's RandomKey hands it over. KeyAt and Item may
// return a copy (our containers and the peers' same-contract form) or a
// reference (the peers' by-reference form); the pass is the same either way.
//
// As in the program, key generation is inside the timed build passes, the
// bag's passes run first and the map's keys continue the same generator. A
// key source has one call, Next(), which returns the next key.
// The passes stay out of line so that a profiler can tell them apart; a call
// per pass costs nothing measurable.
#pragma once

#include <array>
#include <cstdint>

#include "bench/key_generator.h"
#include "bench/ticks.h"

namespace hb::bench {

enum Pass : int {
  kBuild,
  kLookup,
  kReverseRemoval,
  kSecondBuild,
  kAscendingRemoval,
  kMapBuild,
  kMapLookup,
  kPassCount
};

inline constexpr const char* kPassNames[kPassCount] = {
    "build", "lookup", "reverse removal", "second build", "ascending removal", "map build", "map lookup"};

// Ticks per pass; kNotRun for a pass that was skipped.
inline constexpr int64_t kNotRun = -1;
using PassTicks = std::array<int64_t, kPassCount>;

// What the passes observed, for the driver to check against the expected
// counts: a wrong count or a mismatch makes the run worthless.
struct PassCounts {
  std::array<int32_t, kPassCount> count{};  // Count() after each pass
  int32_t lookupMismatches = 0;             // IndexOf(KeyAt(i)) != i
  int32_t mapMissing = 0;                   // !Contains(KeyAt(i))
  int32_t mapValueMismatches = 0;           // Item(KeyAt(i)) != key
};

template <class Bag, class Keys>
[[gnu::noinline]] int64_t BuildPass(Bag& bag, Keys& keys, int32_t n) {
  const int64_t t0 = ReadTicks();
  for (int32_t i = 0; i < n; ++i) bag.Add(keys.Next());
  return ReadTicks() - t0;
}

template <class Bag>
[[gnu::noinline]] int64_t LookupPass(Bag& bag, int32_t& mismatches) {
  const int64_t t0 = ReadTicks();
  const int32_t last = bag.Count() - 1;
  for (int32_t i = 0; i <= last; ++i) {
    const auto& key = bag.KeyAt(i);
    if (bag.IndexOf(key) != i) ++mismatches;
  }
  return ReadTicks() - t0;
}

template <class Bag>
[[gnu::noinline]] int64_t ReverseRemovalPass(Bag& bag) {
  const int64_t t0 = ReadTicks();
  for (int32_t i = bag.Count() - 1; i >= 0; --i) bag.RemoveAt(i);
  return ReadTicks() - t0;
}

template <class Bag>
[[gnu::noinline]] int64_t AscendingRemovalPass(Bag& bag) {
  const int64_t t0 = ReadTicks();
  const int32_t times = bag.Count();
  for (int32_t i = 0; i < times; ++i) bag.RemoveAt(0);
  return ReadTicks() - t0;
}

template <class Map, class Keys>
[[gnu::noinline]] int64_t MapBuildPass(Map& map, Keys& keys, int32_t n) {
  const int64_t t0 = ReadTicks();
  for (int32_t i = 0; i < n; ++i) map.SetItem(keys.Next());
  return ReadTicks() - t0;
}

template <class Map>
[[gnu::noinline]] int64_t MapLookupPass(Map& map, int32_t& missing, int32_t& valueMismatches) {
  const int64_t t0 = ReadTicks();
  const int32_t last = map.Count() - 1;
  for (int32_t i = 0; i <= last; ++i) {
    const auto& key = map.KeyAt(i);
    if (!map.Contains(key)) ++missing;
    const auto& value = map.Item(key);
    if (!(value == key)) ++valueMismatches;
  }
  return ReadTicks() - t0;
}

// Runs the five bag passes on a fresh bag, then the two map passes on a fresh
// map. Ascending removal runs only when `runAscending`; otherwise the bag is
// dropped with its keys, as the program drops it on return.
template <class Bag, class Map, class Keys>
PassTicks RunAllPasses(int32_t n, bool runAscending, PassCounts& counts) {
  PassTicks ticks;
  ticks.fill(kNotRun);
  Keys keys;
  {
    Bag bag;
    ticks[kBuild] = BuildPass(bag, keys, n);
    counts.count[kBuild] = bag.Count();
    ticks[kLookup] = LookupPass(bag, counts.lookupMismatches);
    counts.count[kLookup] = bag.Count();
    ticks[kReverseRemoval] = ReverseRemovalPass(bag);
    counts.count[kReverseRemoval] = bag.Count();
    ticks[kSecondBuild] = BuildPass(bag, keys, n);
    counts.count[kSecondBuild] = bag.Count();
    if (runAscending) {
      ticks[kAscendingRemoval] = AscendingRemovalPass(bag);
      counts.count[kAscendingRemoval] = bag.Count();
    }
  }
  Map map;
  ticks[kMapBuild] = MapBuildPass(map, keys, n);
  counts.count[kMapBuild] = map.Count();
  ticks[kMapLookup] = MapLookupPass(map, counts.mapMissing, counts.mapValueMismatches);
  counts.count[kMapLookup] = map.Count();
  return ticks;
}

}  // namespace hb::bench
