// A terminal in raw input for as long as a RawInput lives: no line editing,
// no echo, and control characters arrive as typed (Ctrl+C is a key as in the
// window). The terminal's mode is always put back: when the RawInput goes,
// and when a signal that ends the process (hang-up, interrupt, quit,
// terminate) arrives meanwhile; the process then ends as that signal has it.
// One RawInput at a time.
#pragma once

#include <termios.h>

namespace hb {

class RawInput {
 public:
  // Nothing happens when `fd` is not a terminal.
  explicit RawInput(int fd);
  ~RawInput();
  RawInput(const RawInput&) = delete;
  RawInput& operator=(const RawInput&) = delete;

 private:
  int fd_;
  termios saved_{};
  bool active_ = false;
};

}  // namespace hb
