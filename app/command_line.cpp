#include "app/command_line.h"

#include <fcntl.h>
#include <unistd.h>

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

std::string ReadOwnCommandLine() {
  std::string raw;
  const int file = open("/proc/self/cmdline", O_RDONLY | O_CLOEXEC);
  if (file < 0) return raw;
  char chunk[4096];
  for (ssize_t got; (got = read(file, chunk, sizeof chunk)) > 0;) raw.append(chunk, static_cast<std::size_t>(got));
  close(file);
  std::vector<std::string> arguments;
  std::size_t start = 0;
  while (start < raw.size()) {
    std::size_t end = raw.find('\0', start);
    if (end == std::string::npos) end = raw.size();
    arguments.emplace_back(raw, start, end - start);
    start = end + 1;
  }
  return JoinCommandLine(arguments);
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
