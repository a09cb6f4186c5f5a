#include "console/x11_frame.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <string>

#include "console/utf8.h"

namespace hb {
namespace {

// _MOTIF_WM_HINTS: five 32-bit fields, read by most window managers.
struct MotifHints {
  unsigned long flags;
  unsigned long functions;
  unsigned long decorations;
  long inputMode;
  unsigned long status;
};
constexpr unsigned long kMotifFunctions = 1UL << 0;
constexpr unsigned long kMotifDecorations = 1UL << 1;
constexpr unsigned long kMotifFunctionMove = 1UL << 2;
constexpr unsigned long kMotifFunctionMinimize = 1UL << 3;
constexpr unsigned long kMotifDecorBorder = 1UL << 1;
constexpr unsigned long kMotifDecorTitle = 1UL << 3;

// Caption-bar bits of a window style (border + dialog frame).
constexpr uint32_t kCaptionStyle = 0x00C00000;

bool WantsCaptionBar(const ConsoleRequest& request) {
  if (request.style == 0) return !request.caption.empty();
  return (request.style & kCaptionStyle) == kCaptionStyle;
}

// WM_NAME is a Latin-1 STRING; characters beyond it show as '?'. Window
// managers that read _NET_WM_NAME get the full text.
std::string Latin1(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) out += c <= 0xFF ? static_cast<char>(c) : '?';
  return out;
}

void SetTitle(Display* display, Window window, std::u16string_view caption) {
  std::string latin1 = Latin1(caption);
  XStoreName(display, window, latin1.c_str());
  XSetIconName(display, window, latin1.c_str());
  const std::string utf8 = ToUtf8(caption);
  const Atom utf8String = XInternAtom(display, "UTF8_STRING", False);
  for (const char* name : {"_NET_WM_NAME", "_NET_WM_ICON_NAME"}) {
    XChangeProperty(display, window, XInternAtom(display, name, False), utf8String, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(utf8.data()), static_cast<int>(utf8.size()));
  }
}

void SetClass(Display* display, Window window) {
  std::string name = kConsoleWindowClass;
  XClassHint hint{name.data(), name.data()};
  XSetClassHint(display, window, &hint);
}

// Fixed size (minimum = maximum) at the requested place; the position is the
// frame's top-left corner.
void SetSizeHints(Display* display, Window window, const ConsoleRequest& request, int32_t width,
                  int32_t height) {
  XSizeHints hints{};
  hints.flags = USPosition | PPosition | USSize | PSize | PMinSize | PMaxSize | PWinGravity;
  hints.x = request.left;
  hints.y = request.top;
  hints.width = hints.min_width = hints.max_width = width;
  hints.height = hints.min_height = hints.max_height = height;
  hints.win_gravity = NorthWestGravity;
  XSetWMNormalHints(display, window, &hints);
}

void SetInputHints(Display* display, Window window) {
  XWMHints hints{};
  hints.flags = InputHint | StateHint;
  hints.input = True;
  hints.initial_state = NormalState;
  XSetWMHints(display, window, &hints);
}

void SetMotifHints(Display* display, Window window, const ConsoleRequest& request) {
  MotifHints hints{};
  hints.flags = kMotifFunctions | kMotifDecorations;
  hints.functions = kMotifFunctionMove | kMotifFunctionMinimize;
  hints.decorations = kMotifDecorBorder | (WantsCaptionBar(request) ? kMotifDecorTitle : 0);
  const Atom atom = XInternAtom(display, "_MOTIF_WM_HINTS", False);
  XChangeProperty(display, window, atom, atom, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&hints),
                  sizeof hints / sizeof(long));
}

}  // namespace

bool WindowManagerRunning(Display* display, int screen) {
  const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
  if (check == None) return false;
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  const int status = XGetWindowProperty(display, RootWindow(display, screen), check, 0, 1, False, XA_WINDOW,
                                        &type, &format, &count, &after, &data);
  const bool found = status == Success && type == XA_WINDOW && count == 1;
  if (data != nullptr) XFree(data);
  return found;
}

Atom DeleteWindowAtom(Display* display) { return XInternAtom(display, "WM_DELETE_WINDOW", False); }

Window CreateConsoleFrame(Display* display, int screen, const ConsoleRequest& request, int32_t width,
                          int32_t height, long eventMask) {
  XSetWindowAttributes attributes{};
  attributes.background_pixmap = None;  // every pixel comes from the surface
  attributes.bit_gravity = NorthWestGravity;
  attributes.event_mask = eventMask;
  const Window window = XCreateWindow(display, RootWindow(display, screen), request.left, request.top,
                                      static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                                      CopyFromParent, InputOutput, CopyFromParent,
                                      CWBackPixmap | CWBitGravity | CWEventMask, &attributes);
  if (window == None) return None;
  SetTitle(display, window, request.caption);
  SetClass(display, window);
  SetSizeHints(display, window, request, width, height);
  SetInputHints(display, window);
  SetMotifHints(display, window, request);
  Atom protocols[] = {DeleteWindowAtom(display)};
  XSetWMProtocols(display, window, protocols, 1);
  return window;
}

}  // namespace hb
