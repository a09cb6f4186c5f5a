#include "bench/contenders.h"

#include <cstring>

#include "bench/key_generator.h"
#include "bench/memory.h"
#include "bench/ours.h"
#include "bench/ours_views.h"
#include "bench/peer_absl.h"
#include "bench/peer_multi_index.h"
#include "bench/peer_std.h"
#include "bench/peer_tsl.h"
#include "bench/same_contract.h"

namespace hb::bench {
namespace {

template <class Bag, class Map, class Keys>
PassTicks RunPasses(int32_t n, bool runAscending, PassCounts& counts) {
  return RunAllPasses<Bag, Map, Keys>(n, runAscending, counts);
}

template <class Bag, class Map, class Keys>
int32_t BuildAndMeasure(bool map, int32_t n, long& peakKb) {
  Keys keys;
  if (map) {
    Map container;
    MapBuildPass(container, keys, n);
    peakKb = PeakResidentKb();
    return container.Count();
  }
  Bag container;
  BuildPass(container, keys, n);
  peakKb = PeakResidentKb();
  return container.Count();
}

template <class Bag, class Map, class Keys = SuiteKeys<typename Bag::Key>>
constexpr Contender Make(const char* name, const char* peer, Form form, const char* label) {
  return {name, peer, form, label, &RunPasses<Bag, Map, Keys>, &BuildAndMeasure<Bag, Map, Keys>};
}

// Every peer twice: held to the program's contract, and by reference.
template <class Bag, class Map>
constexpr std::array<Contender, 2> BothForms(const char* name, const char* referenceName, const char* label) {
  return {Make<SameContract<Bag>, SameContract<Map>>(name, name, Form::kSameContract, label),
          Make<Bag, Map>(referenceName, name, Form::kByReference, label)};
}

constexpr auto kTsl = BothForms<TslBag, TslMap>("tsl", "tsl-ref", "tsl::ordered_set / ordered_map<std::string>");
constexpr auto kBoost = BothForms<MultiIndexBag, MultiIndexMap>(
    "boost", "boost-ref", "boost::multi_index_container (random_access + hashed_unique)");
constexpr auto kStd =
    BothForms<StdBag, StdMap>("std", "std-ref", "std::unordered_map + std::vector in insertion order");
constexpr auto kAbsl =
    BothForms<AbslBag, AbslMap>("absl", "absl-ref", "absl::flat_hash_map + std::vector in insertion order");

constexpr Contender kContenders[] = {
    Make<OurBag, OurMap>("hashbench", "hashbench", Form::kOurs, "our cStringBag / cStringToStringMap"),
    Make<OurBag, OurMap, ProgramKeys>("hashbench-randomkey", "hashbench", Form::kProgram,
                                      "ours with the program's own RandomKey in the build passes"),
    Make<OurViewBag, OurViewMap>("hashbench-views", "hashbench", Form::kViews,
                                 "ours read in place: hb::StringBag / hb::StringToStringMap views in the lookup passes"),
    kTsl[0], kTsl[1], kBoost[0], kBoost[1], kStd[0], kStd[1], kAbsl[0], kAbsl[1],
};

}  // namespace

const char* FormName(Form form) {
  switch (form) {
    case Form::kOurs:
      return "ours";
    case Form::kProgram:
      return "program";
    case Form::kViews:
      return "views";
    case Form::kSameContract:
      return "copies";
    case Form::kByReference:
      return "ref";
  }
  return "?";
}

std::span<const Contender> Contenders() { return kContenders; }

const Contender* FindContender(const char* name) {
  for (const Contender& c : kContenders)
    if (std::strcmp(c.name, name) == 0) return &c;
  return nullptr;
}

}  // namespace hb::bench
