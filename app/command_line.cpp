#include "app/command_line.h"

namespace hb {

std::string JoinCommandLine(const std::vector<std::string>& arguments) {
  std::string line;
  for (const std::string& argument : arguments) {
    if (!line.empty()) line += ' ';
    const bool quote = argument.empty() || argument.find(' ') != std::string::npos;
    if (quote) line += '"';
    line += argument;
    if (quote) line += '"';
  }
  return line;
}

std::u16string_view SkipProgramName(std::u16string_view line) noexcept {
  std::size_t pos = 0;
  if (!line.empty() && line[0] == u'"') {
    const std::size_t close = line.find(u'"', 1);
    pos = close == std::u16string_view::npos ? line.size() : close + 1;
  } else {
    while (pos < line.size() && line[pos] > u' ') ++pos;
  }
  while (pos < line.size() && line[pos] == u' ') ++pos;
  return line.substr(pos);
}

}  // namespace hb
