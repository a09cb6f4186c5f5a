// A private X server for the window tests, and what the tests do with it:
// find windows by title, read which character cells of a window hold ink,
// and type keys.
#pragma once

#include <X11/Xlib.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/virtual_display.h"

namespace hb::test {

class XSession {
 public:
  // Starts Xvfb on a free display number and connects to it; Ok() tells
  // whether that worked, Problem() why not.
  XSession();
  ~XSession();
  XSession(const XSession&) = delete;
  XSession& operator=(const XSession&) = delete;

  bool Ok() const { return display_ != nullptr; }
  std::string Problem() const { return server_.Problem(); }
  // "DISPLAY=:N" and `more` for the programs under test.
  Environment ForChildren(std::vector<std::string> more = {}) const { return server_.ForChildren(std::move(more)); }

  // The top-level window whose title is `title`, waiting up to `seconds`;
  // 0 when none appears.
  Window WaitForWindow(const std::string& title, double seconds);
  // Whether the window is still there and mapped.
  bool Shown(Window window);

  // One string per cell row of the window, one character per cell: '#' when
  // any pixel of the cell differs from the background colour (the commonest
  // one), '.' otherwise. Empty when the window size is not `columns` x `rows` cells.
  std::vector<std::string> InkRows(Window window, int columns, int rows);

  // Types `key` (an xdotool key name) into `window` as the keyboard would.
  bool TypeKey(Window window, const std::string& key);

 private:
  VirtualDisplay server_;
  Display* display_ = nullptr;
};

}  // namespace hb::test
