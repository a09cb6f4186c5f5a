// StringMapDemo and StringMapBenchmark: the string-to-string map seen from
// outside, through NewStringToStringMap and the map's public operations only.
#include <cstdint>

#include "app/benchmarks.h"
#include "app/print.h"
#include "app/random_key.h"
#include "app/ticks.h"
#include "console/console.h"
#include "containers/string_to_string_map.h"

namespace hb {
namespace {

struct Pair {
  const char* key;
  const char* value;
};
constexpr Pair kFixedPairs[] = {{"1", "one"}, {"2", "two"}, {"3", "three"}, {"4", "four"}, {"5", "five"}};

void PrintDiagnostic(const DynString& key, const char* complaint) {
  PrintString(key);
  PrintString(complaint);
  NewLine();
}

}  // namespace

void StringMapDemo() {
  Ref<IStringToStringMap> map = NewStringToStringMap();
  if (!map) return;  // the map could not be made: nothing to show
  for (const Pair& pair : kFixedPairs) map->Add(pair.key, pair.value);

  PrintString("Map contains ");
  PrintNumber(map->Count());
  PrintString(" items");
  NewLine();

  const int32_t last = map->Count() - 1;
  for (int32_t i = 0; i <= last; ++i) {
    const DynString key = map->KeyAt(i);
    PrintString(key);
    PrintString(" = ");
    PrintString(map->Item(key));
    NewLine();
    if (map->Contains(key) != -1) PrintDiagnostic(key, " was not found!");
  }
}

void StringMapBenchmark() {
  Ref<IStringToStringMap> map = NewStringToStringMap();
  if (!map) return;

  int64_t start = ReadTicks();
  for (int32_t i = 0; i < kBuildKeys; ++i) {
    const DynString key = RandomKey();
    map->SetItem(key, DynString(key));
  }
  int64_t ticks = ReadTicks() - start;
  PrintString("Build ");
  PrintCount(kBuildKeys);
  PrintPassLine(" added ", map->Count(), ticks, " tix");

  start = ReadTicks();
  const int32_t last = map->Count() - 1;
  for (int32_t i = 0; i <= last; ++i) {
    const DynString key = map->KeyAt(i);
    if (map->Contains(key) != -1) PrintDiagnostic(key, " was not found!");
    if (!Equal(map->Item(key), key)) PrintDiagnostic(key, " did not match value!");
  }
  ticks = ReadTicks() - start;
  PrintPassLine("Iterate ", map->Count(), ticks, " tix");
}

}  // namespace hb
