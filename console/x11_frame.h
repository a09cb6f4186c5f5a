// The console's top-level window on X11 and what it tells the window
// manager: title, class, fixed size at a fixed place, a caption bar without
// buttons, and a close request the console answers by ignoring it.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>

#include "console/backend.h"

namespace hb {

inline constexpr char kConsoleWindowClass[] = "QUILLTEXT";

// Room left below the grid for a window manager's caption bar and border when
// the font size is chosen to fit the screen.
inline constexpr int32_t kFrameAllowance = 40;

// Whether a window manager that follows the extended hints is running.
bool WindowManagerRunning(Display* display, int screen);

// Creates (but does not map) the frame with a client area of exactly
// width x height pixels at (request.left, request.top) and sets its
// properties. `eventMask` selects the events the console handles.
// Returns None on failure.
Window CreateConsoleFrame(Display* display, int screen, const ConsoleRequest& request, int32_t width,
                          int32_t height, long eventMask);

// The WM_DELETE_WINDOW atom registered in the frame's WM_PROTOCOLS.
Atom DeleteWindowAtom(Display* display);

}  // namespace hb
