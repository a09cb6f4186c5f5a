#include "bench/contenders.h"

#include <cstring>

#include "bench/memory.h"
#include "bench/peer_absl.h"
#include "bench/peer_multi_index.h"
#include "bench/peer_std.h"
#include "bench/peer_tsl.h"
#ifdef HASHBENCH_BENCH_OURS
#include "bench/ours.h"
#endif

namespace hb::bench {
namespace {

template <class Bag, class Map>
PassTicks RunPasses(int32_t n, bool runAscending, PassCounts& counts) {
  return RunAllPasses<Bag, Map>(n, runAscending, counts);
}

template <class Bag, class Map>
int32_t BuildAndMeasure(bool map, int32_t n, long& peakKb) {
  KeyGenerator generator;
  if (map) {
    Map container;
    MapBuildPass(container, generator, n);
    peakKb = PeakResidentKb();
    return container.Count();
  }
  Bag container;
  BuildPass(container, generator, n);
  peakKb = PeakResidentKb();
  return container.Count();
}

template <class Bag, class Map>
constexpr Contender Make(const char* name, const char* label) {
  return {name, label, &RunPasses<Bag, Map>, &BuildAndMeasure<Bag, Map>};
}

constexpr Contender kContenders[] = {
#ifdef HASHBENCH_BENCH_OURS
    Make<OurBag, OurMap>("hashbench", "our cStringBag / cStringToStringMap"),
#endif
    Make<TslBag, TslMap>("tsl", "tsl::ordered_set / ordered_map<std::string>"),
    Make<MultiIndexBag, MultiIndexMap>("boost", "boost::multi_index_container (random_access + hashed_unique)"),
    Make<StdBag, StdMap>("std", "std::unordered_map + std::vector in insertion order"),
    Make<AbslBag, AbslMap>("absl", "absl::flat_hash_map + std::vector in insertion order"),
};

}  // namespace

std::span<const Contender> Contenders() { return kContenders; }

const Contender* FindContender(const char* name) {
  for (const Contender& c : kContenders)
    if (std::strcmp(c.name, name) == 0) return &c;
  return nullptr;
}

}  // namespace hb::bench
