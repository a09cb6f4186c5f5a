// The lines of a correct run, in order. In the tick lines "{ticks}" stands
// for a count of time-stamp-counter ticks, the only part that varies.
#pragma once

#include <string>
#include <vector>

namespace hb::test {

inline std::vector<std::string> ExpectedRunLines() {
  const std::vector<std::string> words = {
      "relational", "model", "specifies", "that", "of", "a", "relation", "have", "no", "specific",
      "order", "and", "in", "turn", "impose", "on", "attributes", "applications", "access", "data",
      "by", "specifying", "queries", "which", "use", "operations", "such", "as", "select"};
  std::vector<std::string> lines(words);
  lines.emplace_back("");
  lines.insert(lines.end(), words.begin(), words.end());
  lines.insert(lines.end(), {"the",
                             "tuples",
                             "Build 1,000 added 1,000 in {ticks} tix",
                             "Iterate and lookup 1,000 in {ticks} tix",
                             "Remove in reverse order 0 in {ticks} tix",
                             "Build 1,000 added 1,000 in {ticks} tix",
                             "Remove in ascending order 0 in {ticks} tix...",
                             "Map contains  5  items",
                             "1 = one",
                             "2 = two",
                             "3 = three",
                             "4 = four",
                             "5 = five",
                             "Build 1,000 added 1,000 in {ticks} tix",
                             "Iterate 1,000 in {ticks} tix",
                             "Done"});
  return lines;
}

}  // namespace hb::test
