// Uses the installed containers by their factory and by class name; exits 0
// only when both behave.
#include <cstdio>

#include "containers/string_bag.h"
#include "containers/string_to_string_map.h"
#include "runtime/object.h"

int main() {
  hb::Ref<hb::IStringToStringMap> map = hb::NewStringToStringMap();
  if (!map || map->Add(hb::DynString("key"), hb::DynString("value")) != 0) return 1;
  if (map->Item(hb::DynString("key")) != hb::DynString("value")) return 2;

  hb::Ref<hb::IStringBag> bag;
  hb::CreateObject(bag, "CSTRINGBAG", hb::kIidStringBag);
  if (!bag || bag->Add(hb::DynString("a")) != 0 || bag->Add(hb::DynString("b")) != 1) return 3;
  map = nullptr;
  bag = nullptr;
  if (hb::LiveObjectCount() != 0) return 4;
  std::puts("consumer: ok");
  return 0;
}
