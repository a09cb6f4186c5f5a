// The console as an X11 window, run by a thread of its own.
//
// The console thread owns its own display connection and makes every Xlib
// call; the main thread never touches X. The grid's cells live in a Pixmap
// (the surface) that only the console thread draws into and copies from, so
// drawing and copying to the window can never overlap:
//   - Print and NewLine run the grid model on the main thread, hand the
//     resulting drawing steps to the console thread and wait until it has
//     drawn them into the surface and copied exactly the changed rectangles
//     to the window.
//   - Expose events repaint from the surface.
//   - Typed characters land in the key slot, an atomic the main thread takes
//     with an exchange in WaitKey.
// The console thread sleeps in poll() on the X connection and an eventfd the
// main thread signals. The main thread spins while a print is drawn (up to
// 2 ms, console/spin_wait.h says why; not at all when both threads are held
// to one processor), then sleeps on a condition variable.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "console/backend.h"

namespace hb {

enum class X11OpenStatus {
  kOpened,     // the window is shown
  kFailed,     // the display refused the window, or the grid cannot be made
  kNoDisplay,  // no X display could be opened
  kNoWakeUp,   // the console thread's wake-up descriptor could not be made
  kNoThread,   // the console thread could not be started
  kNoFont,     // a display was reached, but no usable font was found
  kNoMemory,   // a display was reached, but too little memory is left for the window
};

struct X11OpenResult {
  X11OpenStatus status = X11OpenStatus::kNoDisplay;
  int error = 0;                      // the system's error number for kNoWakeUp and kNoThread
  ConsoleBackend* console = nullptr;  // lives until the process ends; null unless opened
  uintptr_t handle = 0;               // the window id; 0 unless opened
};

// Opens the window for `request`. With `gridValid` false only finds out
// whether a display can be reached (and then fails). Returns once the window
// is shown or has failed; the console thread runs until the process exits.
// Without a thread no display is tried: kNoWakeUp and kNoThread say nothing
// about one.
//
// The program ends (exit code 255, one line on standard error) when the X
// connection is lost, when another client destroys the window, and when the
// console thread does not answer the main thread within the wait bound: at
// start-up, for a print's drawing and at the end.
X11OpenResult OpenX11Console(const ConsoleRequest& request, bool gridValid);

// The wait bound (20 s unless set); tests shorten it.
void SetX11ConsoleWaitBound(std::chrono::milliseconds bound);

// What the open window looks like and what the mouse did to it.
struct X11ConsoleFacts {
  int32_t cellWidth = 0;
  int32_t lineHeight = 0;
  std::string fontFamily;
  double pixelSize = 0;
  uint32_t clickState = 0;  // 1 after a left click, bit 2 added by a double click
  int32_t clickX = 0;       // position of the last click in surface pixels
  int32_t clickY = 0;
  bool focused = false;
  // The cells the window shows: all of the grid when it fits the screen,
  // else the first viewColumns columns of viewRows rows from row viewTop
  // (0-based), which follow the cursor.
  int32_t viewColumns = 0;
  int32_t viewRows = 0;
  int32_t viewTop = 0;
};

// Nothing when no X11 console is open.
std::optional<X11ConsoleFacts> CurrentX11ConsoleFacts();

}  // namespace hb
