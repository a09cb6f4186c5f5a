// The four benchmark procedures that Main runs in this order. Each makes its
// own container, prints its own lines at the console cursor and releases the
// container before it returns; only the key generator's state runs on from
// one procedure to the next.
#pragma once

#include <cstdint>

namespace hb {

// Number of keys that one build pass adds.
inline constexpr int32_t kBuildKeys = 1000;

// Fills a bag with the words of a fixed sentence, removes "the" and "tuples",
// lists it, adds them back and lists it again (61 lines).
void WordBagDemo();

// Times two build passes of 1000 keys, a lookup pass and removal in reverse
// and in ascending order (5 lines, plus one per lookup mismatch).
void StringBagBenchmark();

// Stores five fixed pairs and lists them (6 lines, plus one per key the map
// lists but does not find).
void StringMapDemo();

// Times a build pass of 1000 keys and a lookup pass over them (2 lines, plus
// one per key not found or not matching its value).
void StringMapBenchmark();

}  // namespace hb
