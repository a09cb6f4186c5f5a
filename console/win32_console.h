// The console as a Win32 window, run by a thread of its own.
//
// The frame is a top-level window of the class QUILLTEXT that carries the
// caption; a child STATIC control, the surface, covers its client area
// exactly and shows an off-screen bitmap holding the grid's cells:
//   - The console thread creates both windows and runs their message loop,
//     blocked in GetMessageW between messages. Painting copies from the
//     bitmap; typed characters land in the key slot.
//   - Print and NewLine run the grid model on the main thread and draw what
//     it changed into the bitmap under the surface lock, which painting
//     takes too, so drawing and copying never overlap. The changed
//     rectangles are then repainted by the console thread while the main
//     thread waits (with a deadline).
//   - WaitKey sleeps on an event that the console thread sets with every
//     typed character, and wakes when that thread ends.
// The surface answers WM_GETTEXT with the rows it shows, so that tools and
// tests read the console's text back from the window.
#pragma once

#include <cstdint>
#include <optional>

#include "console/backend.h"

namespace hb {

// Opens the window for `request` (a valid grid) and returns once it is shown
// or has failed; nullptr on failure. The console lives, and its thread runs,
// until the process ends. `surface` receives the surface's window handle.
ConsoleBackend* OpenWin32Console(const ConsoleRequest& request, uintptr_t& surface);

// What the open window is made of, for the tests.
struct Win32ConsoleFacts {
  uintptr_t frame = 0;    // window handles
  uintptr_t surface = 0;
  int32_t cellWidth = 0;
  int32_t lineHeight = 0;
  uint32_t flags = 0;     // kSurfaceFocused while the surface has the keyboard focus
  uint32_t clickState = 0;  // 1 after a left click, bit 2 added by a double click
  int32_t clickX = 0;       // position of the last click in surface pixels
  int32_t clickY = 0;
};
inline constexpr uint32_t kSurfaceFocused = 0x20;

// Nothing when no Win32 console was opened.
std::optional<Win32ConsoleFacts> CurrentWin32ConsoleFacts();

}  // namespace hb
