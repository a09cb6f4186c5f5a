#include "tests/support/virtual_display.h"

#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>

namespace hb::test {

bool VirtualDisplay::Installed() { return std::system("command -v Xvfb >/dev/null 2>&1") == 0; }

VirtualDisplay::VirtualDisplay(int width, int height, int depth) {
  std::ostringstream screen;
  screen << width << "x" << height << "x" << depth;
  // -displayfd: the server picks a free display number and writes it there
  // once it accepts connections. -noreset: it stays up when the last client
  // disconnects.
  server_ = std::make_unique<ChildProcess>(
      std::vector<std::string>{"Xvfb", "-displayfd", "1", "-screen", "0", screen.str(), "-noreset", "-nolisten", "tcp"});
  const std::optional<std::string> number = server_->ReadOutputLine();
  if (!number || number->empty()) {
    server_->Kill();
    problem_ = "Xvfb did not start: " + server_->ErrorOutput();
    return;
  }
  name_ = ":" + *number;
}

VirtualDisplay::~VirtualDisplay() {
  if (!server_) return;
  Stall(false);  // a stopped server would not see the SIGTERM
  server_->Terminate();
}

void VirtualDisplay::Stall(bool stalled) {
  if (server_) server_->Signal(stalled ? SIGSTOP : SIGCONT);
}

Environment VirtualDisplay::ForChildren(std::vector<std::string> more) const {
  more.push_back("DISPLAY=" + name_);
  return Environment{more, {}};
}

}  // namespace hb::test
