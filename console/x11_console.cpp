#include "console/x11_console.h"

#include <X11/Xft/Xft.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

#include "console/console_thread.h"
#include "console/font_table.h"
#include "console/grid.h"
#include "console/program_message.h"
#include "console/spin_wait.h"
#include "console/utf8.h"
#include "console/x11_font.h"
#include "console/x11_frame.h"
#include "runtime/alloc.h"

namespace hb {
namespace {

constexpr uint32_t kBackgroundRgb = 0xF0F0F0;  // button face
constexpr uint32_t kTextRgb = 0x000000;        // window text
constexpr int32_t kMaxSurfaceSide = 32767;     // X coordinates are 16-bit
constexpr auto kMapTimeout = std::chrono::seconds(5);
// Most prints are drawn within 100 us, a scrolled window in well under 1 ms;
// past this the main thread sleeps until the drawing is done.
constexpr auto kDrawSpin = std::chrono::microseconds(2000);
// The console thread's stack: fontconfig, Xft and Xlib need far less, and
// the process's stack limit (which a thread otherwise gets) may be smaller
// than they need or larger than a tight memory limit leaves room for.
constexpr std::size_t kConsoleStackBytes = std::size_t{1} << 20;
// Address space the font libraries may take while the console opens its
// font; when not even this much can be reserved, they would fail somewhere
// inside (and take the process down), so the window is not tried.
constexpr std::size_t kFontHeadroomBytes = std::size_t{28} << 20;
// The exit code when the window or the display goes away under the program.
constexpr int kLostConsoleExitCode = 255;
constexpr Time kDoubleClickMs = 400;
constexpr char16_t kTab = 0x09;
constexpr char16_t kDelete = 0x7F;  // what X reports for the Delete key
constexpr long kEventMask = ExposureMask | KeyPressMask | ButtonPressMask | FocusChangeMask | StructureNotifyMask;

// How long the main thread waits for the console thread: its start-up, each
// print's drawing, its end. A stalled X server holds the console thread.
std::atomic<int64_t> g_waitBoundMs{20'000};

// The console window, once created: errors about it mean another client
// destroyed it.
std::atomic<Window> g_consoleWindow{None};

// Ends the program, from either thread, with one line on standard error.
[[noreturn]] void EndProgram(const std::string& cause) {
  SayOnStandardError(cause);
  _exit(kLostConsoleExitCode);
}

[[noreturn]] void EndWindowDestroyed() { EndProgram("the console window was destroyed"); }

[[noreturn]] void EndStalled() {
  const int64_t ms = g_waitBoundMs.load();
  EndProgram("the X server did not answer within " +
             (ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms"));
}

std::chrono::milliseconds WaitBound() { return std::chrono::milliseconds(g_waitBoundMs.load()); }

// X protocol errors are recorded, not fatal: drawing failures are ignored,
// and creation checks the flag after a round trip. Only an error about the
// window itself (gone) ends the program.
std::atomic<bool> g_xErrorSeen{false};

int RecordXError(Display*, XErrorEvent* error) {
  const Window window = g_consoleWindow.load();
  if (window != None && error->resourceid == window &&
      (error->error_code == BadWindow || error->error_code == BadDrawable)) {
    EndWindowDestroyed();
  }
  g_xErrorSeen.store(true);
  return 0;
}

// Xlib's default ends the process with exit() from the console thread, which
// then hangs on the main thread's waits; losing the display ends it at once.
int EndOnLostDisplay(Display*) {
  const int cause = errno;
  EndProgram(std::string("lost the connection to the X display") +
             (cause != 0 && cause != EAGAIN ? std::string(" (") + std::strerror(cause) + ")" : std::string()));
}

// One drawing step the main thread hands to the console thread.
struct SurfaceStep {
  bool scroll = false;      // true: scroll up one row; else write `text`
  int32_t row = 0;
  int32_t column = 0;
  std::u16string text;
};

XftColor AllocateColor(Display* display, int screen, uint32_t rgb, bool& ok) {
  XRenderColor value{};
  value.red = static_cast<unsigned short>(((rgb >> 16) & 0xFF) * 0x101);
  value.green = static_cast<unsigned short>(((rgb >> 8) & 0xFF) * 0x101);
  value.blue = static_cast<unsigned short>((rgb & 0xFF) * 0x101);
  value.alpha = 0xFFFF;
  XftColor color{};
  ok = ok && XftColorAllocValue(display, DefaultVisual(display, screen), DefaultColormap(display, screen), &value,
                                &color);
  return color;
}

class X11Console final : public ConsoleBackend, private GridSink {
 public:
  X11Console(const ConsoleRequest& request, bool gridValid)
      : request_(request), gridValid_(gridValid), grid_(std::max(request.columns, 1), std::max(request.rows, 1)) {}
  X11Console(const X11Console&) = delete;
  X11Console& operator=(const X11Console&) = delete;
  ~X11Console() {
    Stop();
    if (wakeFd_ >= 0) close(wakeFd_);
  }

  // Starts the console thread and waits until the window is shown or failed;
  // `error` gets the system's error number when there is no thread.
  X11OpenStatus Open(int& error);
  // Ends the console thread; its last act is closing the display.
  void Stop();

  void Print(std::u16string_view text) override;
  void NewLine() override;
  std::u16string WaitKey() override;

  uintptr_t Handle() const { return window_; }
  X11ConsoleFacts Facts() const;

 private:
  // GridSink, on the main thread: collect the steps of one call.
  void Written(int32_t row, int32_t column, std::u16string_view text) override;
  void LineEnded(bool scrolled) override;
  // Main thread: hands `steps_` over and waits until they are on screen.
  void SubmitSteps();
  // Main thread: the first grid row the window shows with the cursor's row.
  int32_t ViewTopFor(int32_t cursorRow) const;
  void Wake();

  // Console thread.
  void Run();
  X11OpenStatus Create();
  bool FontHeadroom();
  bool CreateSurface();
  void OpenInputMethod();
  void WaitUntilMapped();
  void Loop();
  bool ServeSteps();
  void DrainEvents();
  void Dispatch(XEvent& event);
  void ApplyStep(const SurfaceStep& step);
  // The surface row, in pixels, that holds the grid's pixel row `gridY`.
  int SurfaceY(int gridY) const;
  // A rectangle of the grid, in pixels, to where the window shows it.
  void CopyToWindow(int x, int y, int width, int height);
  void OnKey(XKeyEvent& event);
  void OnButton(const XButtonEvent& event);
  void StoreKey(char16_t key);
  void Teardown();
  void Report(X11OpenStatus status);

  // Set before the thread starts, read-only afterwards.
  const ConsoleRequest request_;
  const bool gridValid_;
  int wakeFd_ = -1;           // eventfd: the main thread's nudge to the console thread

  // Main thread only.
  Grid grid_;
  std::vector<SurfaceStep> steps_;  // steps of the call in progress
  int32_t viewTop_ = 0;             // first grid row the window shows, as last handed over
  std::chrono::microseconds drawSpin_ = kDrawSpin;  // how long a print spins before it sleeps
  ConsoleThread thread_;

  // Shared, under mutex_.
  std::mutex mutex_;
  std::condition_variable changed_;  // any of the fields below, or the key slot
  std::optional<X11OpenStatus> status_;
  std::vector<SurfaceStep> pending_;  // steps handed over, not yet drawn
  int32_t pendingViewTop_ = 0;        // the view that goes with them
  std::atomic<bool> stepsDone_{true};  // set under mutex_; the main thread also looks without it
  bool stopping_ = false;

  // Shared atomics.
  std::atomic<uint32_t> keySlot_{0};  // typed character not yet taken; 0: none
  std::atomic<uint32_t> clickState_{0};
  std::atomic<int32_t> clickX_{0};
  std::atomic<int32_t> clickY_{0};
  std::atomic<bool> focused_{false};

  // Console thread; the metrics are published to the main thread by Report.
  Display* display_ = nullptr;
  int screen_ = 0;
  Window window_ = None;
  Pixmap surface_ = None;
  GC gc_ = nullptr;
  XftDraw* draw_ = nullptr;
  XftColor textColor_{};
  XftColor backgroundColor_{};
  bool colorsAllocated_ = false;
  ConsoleFont font_;
  int32_t width_ = 0;   // surface size in pixels
  int32_t height_ = 0;
  // The surface is a ring of rows: grid row r is drawn at surface row
  // (r + firstSurfaceRow_) mod rows, so that a scroll moves no pixels.
  int32_t firstSurfaceRow_ = 0;
  // The window: the whole grid when it fits the screen, else as many whole
  // cells as fit, showing the rows from shownTop_ (published like the metrics).
  int32_t viewColumns_ = 0;
  int32_t viewRows_ = 0;
  int32_t shownTop_ = 0;
  XIM inputMethod_ = nullptr;
  XIC inputContext_ = nullptr;  // null: plain XLookupString
  Atom deleteWindow_ = None;
  bool mapped_ = false;
  Time lastClickTime_ = 0;
};

// ---- main thread ----------------------------------------------------------

X11OpenStatus X11Console::Open(int& error) {
  // Without a wake-up channel or a thread there is no console at all.
  wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd_ < 0) {
    error = errno;
    return X11OpenStatus::kNoWakeUp;
  }
  error = thread_.Start([this] { Run(); }, kConsoleStackBytes);
  if (error != 0) return X11OpenStatus::kNoThread;
  std::unique_lock lock(mutex_);
  if (!changed_.wait_for(lock, WaitBound(), [this] { return status_.has_value(); })) EndStalled();
  // Held to the same single processor, the console thread could only draw
  // once the spinning main thread gives that processor up.
  if (!thread_.CanRunBesideCaller()) drawSpin_ = std::chrono::microseconds(0);
  return *status_;
}

void X11Console::Stop() {
  if (!thread_.Running()) return;
  {
    std::lock_guard guard(mutex_);
    stopping_ = true;
  }
  Wake();
  if (!thread_.JoinWithin(WaitBound())) EndStalled();
}

void X11Console::Wake() {
  const uint64_t one = 1;
  while (write(wakeFd_, &one, sizeof one) < 0 && errno == EINTR) {
  }
}

void X11Console::Print(std::u16string_view text) {
  grid_.Print(text, *this);
  SubmitSteps();
}

void X11Console::NewLine() {
  grid_.NewLine(*this);
  SubmitSteps();
}

void X11Console::Written(int32_t row, int32_t column, std::u16string_view text) {
  steps_.push_back(SurfaceStep{false, row, column, std::u16string(text)});
}

void X11Console::LineEnded(bool scrolled) {
  if (scrolled) steps_.push_back(SurfaceStep{true, 0, 0, {}});
}

// A window shorter than the grid follows the cursor: its row stays on the
// bottom row of the window once it has gone past it.
int32_t X11Console::ViewTopFor(int32_t cursorRow) const {
  if (cursorRow < viewTop_) return cursorRow;
  if (cursorRow >= viewTop_ + viewRows_) return cursorRow - viewRows_ + 1;
  return viewTop_;
}

void X11Console::SubmitSteps() {
  const int32_t viewTop = ViewTopFor(grid_.CursorRow());
  if (steps_.empty() && viewTop == viewTop_) return;
  viewTop_ = viewTop;
  std::unique_lock lock(mutex_);
  pending_.swap(steps_);
  steps_.clear();
  pendingViewTop_ = viewTop;
  stepsDone_ = false;
  lock.unlock();
  Wake();
  if (SpinUntilSet(stepsDone_, drawSpin_)) return;
  lock.lock();
  if (!changed_.wait_for(lock, WaitBound(), [this] { return stepsDone_.load(); })) EndStalled();
}

std::u16string X11Console::WaitKey() {
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return keySlot_.load() != 0; });
  }
  const uint32_t key = keySlot_.exchange(0);
  return key == 0 ? std::u16string() : std::u16string(1, static_cast<char16_t>(key));
}

X11ConsoleFacts X11Console::Facts() const {
  X11ConsoleFacts facts;
  facts.cellWidth = font_.cellWidth;
  facts.lineHeight = font_.lineHeight;
  facts.fontFamily = font_.family;
  facts.pixelSize = font_.pixelSize;
  facts.clickState = clickState_.load();
  facts.clickX = clickX_.load();
  facts.clickY = clickY_.load();
  facts.focused = focused_.load();
  facts.viewColumns = viewColumns_;
  facts.viewRows = viewRows_;
  facts.viewTop = viewTop_;
  return facts;
}

// ---- console thread: creation ---------------------------------------------

void X11Console::Run() {
  X11OpenStatus status = X11OpenStatus::kNoMemory;
  try {
    status = Create();
  } catch (const std::bad_alloc&) {
  }
  if (status != X11OpenStatus::kOpened) {
    Teardown();
    Report(status);
    return;
  }
  Report(status);
  try {
    Loop();
  } catch (const std::bad_alloc&) {
    EndProgram("not enough memory for the console window");
  }
  Teardown();
}

void X11Console::Report(X11OpenStatus status) {
  {
    std::lock_guard guard(mutex_);
    status_ = status;
  }
  changed_.notify_all();
}

X11OpenStatus X11Console::Create() {
  // Set first: the connection can fail inside XOpenDisplay's own requests.
  XSetErrorHandler(RecordXError);
  XSetIOErrorHandler(EndOnLostDisplay);
  display_ = XOpenDisplay(nullptr);
  if (display_ == nullptr) return X11OpenStatus::kNoDisplay;
  if (!gridValid_) return X11OpenStatus::kFailed;
  if (!FontHeadroom()) return X11OpenStatus::kNoMemory;
  screen_ = DefaultScreen(display_);

  std::optional<FontEntry> entry = UseFontEntry(kConsoleFontId);
  if (!entry) {  // start-up did not fill the table: fill it now
    FillFontTable();
    entry = UseFontEntry(kConsoleFontId);
  }
  if (!entry) return X11OpenStatus::kNoFont;
  const int32_t allowance = WindowManagerRunning(display_, screen_) ? kFrameAllowance : 0;
  const PixelArea area{DisplayWidth(display_, screen_) - request_.left,
                       DisplayHeight(display_, screen_) - request_.top - allowance};
  std::optional<ConsoleFont> font =
      OpenConsoleFont(display_, screen_, entry->description, request_.columns, request_.rows, area);
  if (!font) return X11OpenStatus::kNoFont;
  font_ = *font;
  const int64_t width = int64_t{font_.cellWidth} * request_.columns;
  const int64_t height = int64_t{font_.lineHeight} * request_.rows;
  if (width > kMaxSurfaceSide || height > kMaxSurfaceSide) return X11OpenStatus::kFailed;
  width_ = static_cast<int32_t>(width);
  height_ = static_cast<int32_t>(height);
  viewColumns_ = std::clamp(area.width / font_.cellWidth, 1, request_.columns);
  viewRows_ = std::clamp(area.height / font_.lineHeight, 1, request_.rows);

  g_xErrorSeen.store(false);
  window_ = CreateConsoleFrame(display_, screen_, request_, viewColumns_ * font_.cellWidth,
                               viewRows_ * font_.lineHeight, kEventMask);
  if (window_ != None) g_consoleWindow.store(window_);
  if (window_ == None || !CreateSurface()) return X11OpenStatus::kFailed;
  deleteWindow_ = DeleteWindowAtom(display_);
  OpenInputMethod();
  XSync(display_, False);
  if (g_xErrorSeen.load()) return X11OpenStatus::kFailed;

  XMapWindow(display_, window_);
  WaitUntilMapped();
  XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
  XSync(display_, False);
  return X11OpenStatus::kOpened;
}

// Reserves the headroom the font libraries need and gives it back at once.
bool X11Console::FontHeadroom() {
  void* headroom = AllocateBlock(kFontHeadroomBytes);
  FreeBlock(headroom);
  return headroom != nullptr;
}

bool X11Console::CreateSurface() {
  const unsigned depth = static_cast<unsigned>(DefaultDepth(display_, screen_));
  surface_ = XCreatePixmap(display_, window_, static_cast<unsigned>(width_), static_cast<unsigned>(height_), depth);
  XGCValues values{};
  values.graphics_exposures = False;  // copies inside the surface need no NoExpose events
  gc_ = XCreateGC(display_, surface_, GCGraphicsExposures, &values);
  draw_ = XftDrawCreate(display_, surface_, DefaultVisual(display_, screen_), DefaultColormap(display_, screen_));
  bool ok = true;
  textColor_ = AllocateColor(display_, screen_, kTextRgb, ok);
  backgroundColor_ = AllocateColor(display_, screen_, kBackgroundRgb, ok);
  colorsAllocated_ = ok;
  if (surface_ == None || gc_ == nullptr || draw_ == nullptr || !ok) return false;
  XSetForeground(display_, gc_, backgroundColor_.pixel);
  XFillRectangle(display_, surface_, gc_, 0, 0, static_cast<unsigned>(width_), static_cast<unsigned>(height_));
  return true;
}

// Typed text comes through the input method named by XMODIFIERS; when it
// cannot be opened (not running, say), XLookupString serves instead.
void X11Console::OpenInputMethod() {
  XSetLocaleModifiers("");
  inputMethod_ = XOpenIM(display_, nullptr, nullptr, nullptr);
  if (inputMethod_ == nullptr) return;
  inputContext_ = XCreateIC(inputMethod_, XNInputStyle, XIMPreeditNothing | XIMStatusNothing, XNClientWindow,
                            window_, XNFocusWindow, window_, nullptr);
  if (inputContext_ == nullptr) return;
  long filterEvents = 0;
  if (XGetICValues(inputContext_, XNFilterEvents, &filterEvents, nullptr) == nullptr) {
    XSelectInput(display_, window_, kEventMask | filterEvents);
  }
}

// A window manager may take a moment to map the frame; one that never does
// leaves the window created but not shown, which is not worth hanging for.
void X11Console::WaitUntilMapped() {
  const auto deadline = std::chrono::steady_clock::now() + kMapTimeout;
  pollfd connection{ConnectionNumber(display_), POLLIN, 0};
  while (!mapped_) {
    DrainEvents();
    if (mapped_) break;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    poll(&connection, 1, static_cast<int>(left.count()));
  }
}

// ---- console thread: running ----------------------------------------------

void X11Console::Loop() {
  pollfd watched[2] = {{ConnectionNumber(display_), POLLIN, 0}, {wakeFd_, POLLIN, 0}};
  for (;;) {
    if (!ServeSteps()) return;
    DrainEvents();
    if (poll(watched, 2, -1) < 0 && errno != EINTR) {
      EndProgram(std::string("the console cannot wait for the X display: ") + std::strerror(errno));
    }
    if (watched[1].revents != 0) {
      uint64_t count = 0;
      while (read(wakeFd_, &count, sizeof count) < 0 && errno == EINTR) {
      }
    }
  }
}

// Draws the steps handed over, if any, and tells the main thread once they
// are on screen. False when the console is stopping.
bool X11Console::ServeSteps() {
  std::vector<SurfaceStep> steps;
  int32_t viewTop = 0;
  {
    std::lock_guard guard(mutex_);
    if (stopping_) return false;
    if (stepsDone_) return true;
    steps.swap(pending_);
    viewTop = pendingViewTop_;
  }
  const bool viewMoved = viewTop != shownTop_;
  shownTop_ = viewTop;
  for (const SurfaceStep& step : steps) ApplyStep(step);
  if (viewMoved) CopyToWindow(0, 0, width_, height_);
  XSync(display_, False);
  {
    std::lock_guard guard(mutex_);
    stepsDone_ = true;
  }
  changed_.notify_all();
  return true;
}

void X11Console::ApplyStep(const SurfaceStep& step) {
  const int32_t lineHeight = font_.lineHeight;
  if (step.scroll) {
    // The surface row of grid row 0 becomes the new last row, blanked: the
    // rows move up without a pixel of the surface being copied.
    firstSurfaceRow_ = (firstSurfaceRow_ + 1) % request_.rows;
    XFillRectangle(display_, surface_, gc_, 0, SurfaceY(height_ - lineHeight), static_cast<unsigned>(width_),
                   static_cast<unsigned>(lineHeight));
    CopyToWindow(0, 0, width_, height_);
    return;
  }
  const int x = step.column * font_.cellWidth;
  const int gridY = step.row * lineHeight;
  const int y = SurfaceY(gridY);  // where the row is drawn; the window shows it at gridY
  const int width = static_cast<int>(step.text.size()) * font_.cellWidth;
  // Each character at its own cell, clipped to the cells written: the grid
  // stays exact whatever advance a glyph claims.
  std::vector<XftCharSpec> glyphs(step.text.size());
  for (std::size_t i = 0; i < step.text.size(); ++i) {
    glyphs[i].ucs4 = step.text[i];
    glyphs[i].x = static_cast<short>(x + static_cast<int>(i) * font_.cellWidth);
    glyphs[i].y = static_cast<short>(y + font_.ascent);
  }
  XRectangle cells{static_cast<short>(x), static_cast<short>(y), static_cast<unsigned short>(width),
                   static_cast<unsigned short>(lineHeight)};
  // The cells are filled through the same GC and pixel as the rest of the
  // surface: on a screen with a colour map, Xft's own fill of the allocated
  // colour does not come out as that pixel.
  XFillRectangle(display_, surface_, gc_, x, y, static_cast<unsigned>(width), static_cast<unsigned>(lineHeight));
  XftDrawSetClipRectangles(draw_, 0, 0, &cells, 1);
  XftDrawCharSpec(draw_, &textColor_, font_.font, glyphs.data(), static_cast<int>(glyphs.size()));
  XftDrawSetClip(draw_, nullptr);
  CopyToWindow(x, gridY, width, lineHeight);
}

int X11Console::SurfaceY(int gridY) const {
  return (gridY + firstSurfaceRow_ * font_.lineHeight) % height_;
}

// The rows past the surface's last row continue at its top.
void X11Console::CopyToWindow(int x, int y, int width, int height) {
  y = std::max(y, 0);
  height = std::min(height, height_ - y);
  if (width <= 0 || height <= 0) return;
  const int shownY = y - shownTop_ * font_.lineHeight;  // what falls outside the window is clipped away
  const int surfaceY = SurfaceY(y);
  const int beforeWrap = std::min(height, height_ - surfaceY);
  XCopyArea(display_, surface_, window_, gc_, x, surfaceY, static_cast<unsigned>(width),
            static_cast<unsigned>(beforeWrap), x, shownY);
  if (beforeWrap < height) {
    XCopyArea(display_, surface_, window_, gc_, x, 0, static_cast<unsigned>(width),
              static_cast<unsigned>(height - beforeWrap), x, shownY + beforeWrap);
  }
}

void X11Console::DrainEvents() {
  while (XPending(display_) > 0) {
    XEvent event;
    XNextEvent(display_, &event);
    if (XFilterEvent(&event, None)) continue;
    Dispatch(event);
  }
}

void X11Console::Dispatch(XEvent& event) {
  switch (event.type) {
    case Expose:
      CopyToWindow(event.xexpose.x, event.xexpose.y + shownTop_ * font_.lineHeight, event.xexpose.width,
                   event.xexpose.height);
      break;
    case KeyPress:
      OnKey(event.xkey);
      break;
    case ButtonPress:
      OnButton(event.xbutton);
      break;
    case FocusIn:
      focused_.store(true);
      if (inputContext_ != nullptr) XSetICFocus(inputContext_);
      break;
    case FocusOut:
      focused_.store(false);
      if (inputContext_ != nullptr) XUnsetICFocus(inputContext_);
      break;
    case MapNotify:
      mapped_ = true;
      break;
    case DestroyNotify:
      // Another client destroyed the window: there is nothing left to show
      // the output or take the key.
      if (event.xdestroywindow.window == window_) EndWindowDestroyed();
      break;
    case ClientMessage:
      // WM_DELETE_WINDOW (Alt+F4, the close button of a window manager that
      // shows one anyway) is ignored: the console closes with the process.
      break;
    default:
      break;
  }
}

// Characters typed with Alt held, Tab, Delete and keys without a character
// never reach the key slot.
void X11Console::OnKey(XKeyEvent& event) {
  if ((event.state & Mod1Mask) != 0) return;
  char buffer[64];
  KeySym keysym = NoSymbol;
  std::u16string typed;
  if (inputContext_ != nullptr) {
    Status status = 0;
    const int length = Xutf8LookupString(inputContext_, &event, buffer, sizeof buffer, &keysym, &status);
    if (status == XLookupChars || status == XLookupBoth) typed = FromUtf8(std::string_view(buffer, length));
  } else {
    const int length = XLookupString(&event, buffer, sizeof buffer, &keysym, nullptr);
    for (int i = 0; i < length; ++i) typed += static_cast<char16_t>(static_cast<unsigned char>(buffer[i]));
  }
  for (char16_t key : typed) StoreKey(key);
}

void X11Console::StoreKey(char16_t key) {
  if (key == 0 || key == kTab || key == kDelete) return;
  keySlot_.store(key);  // replaces a character not yet taken
  { std::lock_guard guard(mutex_); }  // a WaitKey between its check and its sleep sees the store
  changed_.notify_all();
}

void X11Console::OnButton(const XButtonEvent& event) {
  if (event.button != Button1) return;
  XSetInputFocus(display_, window_, RevertToParent, event.time);
  const bool doubleClick = clickState_.load() != 0 && event.time - lastClickTime_ <= kDoubleClickMs;
  clickState_.store(doubleClick ? (clickState_.load() | 2u) : 1u);
  clickX_.store(event.x);
  clickY_.store(event.y);
  lastClickTime_ = event.time;
}

void X11Console::Teardown() {
  if (display_ == nullptr) return;
  if (inputContext_ != nullptr) XDestroyIC(inputContext_);
  if (inputMethod_ != nullptr) XCloseIM(inputMethod_);
  if (draw_ != nullptr) XftDrawDestroy(draw_);
  Visual* visual = DefaultVisual(display_, screen_);
  if (colorsAllocated_) {
    XftColorFree(display_, visual, DefaultColormap(display_, screen_), &textColor_);
    XftColorFree(display_, visual, DefaultColormap(display_, screen_), &backgroundColor_);
  }
  CloseConsoleFont(display_, font_);
  if (gc_ != nullptr) XFreeGC(display_, gc_);
  if (surface_ != None) XFreePixmap(display_, surface_);
  if (window_ != None) {
    g_consoleWindow.store(None);
    XDestroyWindow(display_, window_);
  }
  XCloseDisplay(display_);
  display_ = nullptr;
}

// ---- the one console of the process ---------------------------------------

X11Console* g_liveConsole = nullptr;  // main thread only

void CloseLiveConsole() {
  delete g_liveConsole;
  g_liveConsole = nullptr;
}

}  // namespace

X11OpenResult OpenX11Console(const ConsoleRequest& request, bool gridValid) {
  X11OpenResult result;
  std::unique_ptr<X11Console> console;
  try {
    console = std::make_unique<X11Console>(request, gridValid);
  } catch (const std::bad_alloc&) {
    result.status = X11OpenStatus::kNoMemory;
    return result;
  }
  result.status = console->Open(result.error);
  if (result.status != X11OpenStatus::kOpened) return result;
  result.handle = console->Handle();
  result.console = console.get();
  g_liveConsole = console.release();
  static const bool closesAtExit = std::atexit(CloseLiveConsole) == 0;
  (void)closesAtExit;
  return result;
}

void SetX11ConsoleWaitBound(std::chrono::milliseconds bound) { g_waitBoundMs.store(bound.count()); }

std::optional<X11ConsoleFacts> CurrentX11ConsoleFacts() {
  if (g_liveConsole == nullptr) return std::nullopt;
  return g_liveConsole->Facts();
}

}  // namespace hb
