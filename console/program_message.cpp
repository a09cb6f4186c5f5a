#include "console/program_message.h"

#include <unistd.h>

#include <cerrno>
#include <string>

namespace hb {

void SayOnStandardError(std::string_view cause) {
  std::string line(kProgramName);
  line += ": ";
  line += cause;
  line += '\n';
  std::string_view rest = line;
  while (!rest.empty()) {
    const ssize_t put = write(STDERR_FILENO, rest.data(), rest.size());
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return;
    rest.remove_prefix(static_cast<std::size_t>(put));
  }
}

}  // namespace hb
