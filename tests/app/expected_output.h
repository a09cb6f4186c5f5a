// The lines of a correct run, in order. In the tick lines "{ticks}" stands
// for a count of time-stamp-counter ticks, the only part that varies.
#pragma once

#include <regex>
#include <sstream>
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

// The expected line as a pattern: the tick count is any number grouped by
// thousands, everything else literal.
inline std::regex LinePattern(const std::string& line) {
  static const std::regex special(R"([.^$|()\[\]{}*+?\\])");
  std::string pattern = std::regex_replace(line, special, R"(\$&)");
  const std::string ticks = R"(\{ticks\})";
  for (std::size_t at; (at = pattern.find(ticks)) != std::string::npos;)
    pattern.replace(at, ticks.size(), "[0-9]{1,3}(,[0-9]{3})*");
  return std::regex(pattern);
}

// How the program's standard output differs from a correct run's, line by
// line; empty when it is one.
inline std::string RunOutputMismatch(const std::string& output) {
  if (output.empty() || output.back() != '\n') return "the output does not end with a line feed:\n" + output;
  std::vector<std::string> lines;
  std::istringstream stream(output);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  const std::vector<std::string> expected = ExpectedRunLines();
  if (lines.size() != expected.size())
    return std::to_string(lines.size()) + " lines, expected " + std::to_string(expected.size()) + ":\n" + output;
  std::string mismatch;
  for (std::size_t i = 0; i < expected.size(); ++i)
    if (!std::regex_match(lines[i], LinePattern(expected[i])))
      mismatch += "line " + std::to_string(i + 1) + ": '" + lines[i] + "', expected '" + expected[i] + "'\n";
  return mismatch;
}

}  // namespace hb::test
