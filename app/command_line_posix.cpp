#include "app/command_line.h"

#include <fcntl.h>
#include <unistd.h>

#include "runtime/dyn_string.h"
#include "runtime/string_ops.h"

namespace hb {

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

std::u16string OwnCommandLine() { return ToWide(DynString(ReadOwnCommandLine())); }

}  // namespace hb
