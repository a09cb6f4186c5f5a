// A virtual X server (Xvfb) for the tests, on a display number it picks
// itself among the free ones; ended when the object goes. Its one screen has
// the given size and depth (24: true colour, 8: a colour map of 256 cells).
#pragma once

#include <memory>
#include <string>

#include "tests/support/child_process.h"

namespace hb::test {

class VirtualDisplay {
 public:
  VirtualDisplay(int width, int height, int depth = 24);
  ~VirtualDisplay();

  static bool Installed();
  // ":N" once the server accepts connections; empty when it failed to start.
  const std::string& Name() const { return name_; }
  // "DISPLAY=:N" for child processes.
  Environment ForChildren(std::vector<std::string> more = {}) const;
  std::string Problem() const { return problem_; }
  // Stops (SIGSTOP) or resumes (SIGCONT) the server: a stalled X server.
  void Stall(bool stalled);

 private:
  std::unique_ptr<ChildProcess> server_;
  std::string name_;
  std::string problem_;
};

}  // namespace hb::test
