// A read-only snapshot of a container's table, for tests and diagnostics.
//
// It shows what the interfaces hide: the bucket heads, the stored hashes and
// chain links, and the blank entries waiting behind the live ones, so that a
// test can check the chains after every operation.
#pragma once

#include <cstdint>
#include <vector>

namespace hb {

class IStringBag;
class IStringToStringMap;
class IDWordToIUnknownMap;
class IStringToIUnknownMap;

struct TableView {
  int32_t count = 0;
  int32_t capacity = 0;
  int32_t threshold = 0;
  int32_t lastHash = 0;
  int32_t entriesUpperBound = -1;
  std::vector<int32_t> buckets;  // 1 + index of the chain head, 0 when empty
  std::vector<int32_t> hashes;   // stored hash of each live entry, 0 to count - 1
  std::vector<int32_t> nexts;    // chain link of each live entry, -1 ends a chain
  int32_t missingBlanks = 0;     // slots count..upper bound without an entry object
  int32_t dirtyBlanks = 0;       // slots count..upper bound whose entry is not blank
};

// The argument must be an object made by the matching factory.
TableView InspectTable(IStringBag& bag);
TableView InspectTable(IStringToStringMap& map);
TableView InspectTable(IDWordToIUnknownMap& map);
TableView InspectTable(IStringToIUnknownMap& map);

}  // namespace hb
