// The console functions of console.h: pick the kind of console when it is
// opened and pass every later call to it.
#include "console/console.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "console/backend.h"
#include "console/program_message.h"
#include "console/stream_console.h"
#include "runtime/errors.h"
#ifdef HASHBENCH_HAVE_X11
#include "console/x11_console.h"
#endif

namespace hb {
namespace {

// Nonzero handle of a stream console (a window's handle is its X window id).
constexpr uintptr_t kStreamHandle = 1;
// Larger grids are refused: they could not be shown and would only eat memory.
constexpr int32_t kMaxGridSide = 4096;
// Lets the window manager settle the new window before the program prints.
constexpr auto kSettleTime = std::chrono::milliseconds(40);

std::atomic<ConsoleBackend*> g_currentConsole{nullptr};

bool ValidGrid(int32_t columns, int32_t rows) {
  return columns > 0 && rows > 0 && columns <= kMaxGridSide && rows <= kMaxGridSide;
}

// The stream console lives until the process ends; its destructor writes
// out the last, unfinished line.
std::unique_ptr<StreamConsole>& StreamConsoleHolder() {
  static std::unique_ptr<StreamConsole> holder;
  return holder;
}

uintptr_t OpenStreamConsole(int32_t columns, int32_t rows) {
  auto& holder = StreamConsoleHolder();
  holder = std::make_unique<StreamConsole>(columns, rows);
  g_currentConsole.store(holder.get());
  SetBeforeFatalExit(FlushConsoleOutput);
  return kStreamHandle;
}

// What becomes of a request when no window serves it.
struct Fallback {
  bool toStream = false;  // the stream console stands in
  std::string cause;      // why, for standard error; empty when there is nothing to say
};

#ifdef HASHBENCH_HAVE_X11
// No display at all is no news and goes to the stream console silently; a
// thread, a font or the memory for the window that cannot be had is said. A
// window that the display refused, or a grid that cannot be made, leaves the
// program without a console.
Fallback FallbackFor(const X11OpenResult& opened) {
  const auto withError = [&](const char* what) { return std::string(what) + ": " + std::strerror(opened.error); };
  switch (opened.status) {
    case X11OpenStatus::kOpened:
    case X11OpenStatus::kFailed:
      return {};
    case X11OpenStatus::kNoDisplay:
      return {true, {}};
    case X11OpenStatus::kNoWakeUp:
      return {true, withError("cannot make the console's wake-up channel")};
    case X11OpenStatus::kNoThread:
      return {true, withError("cannot start the console thread")};
    case X11OpenStatus::kNoFont:
      return {true, "no usable font"};
    case X11OpenStatus::kNoMemory:
      return {true, "not enough memory for the console window"};
  }
  return {};
}
#endif

}  // namespace

uintptr_t OpenConsoleWindow(std::u16string_view caption, uint32_t style, int32_t columns, int32_t rows,
                            int32_t left, int32_t top) {
  static std::mutex openLock;  // one opening at a time
  std::lock_guard guard(openLock);
  if (g_currentConsole.load() != nullptr) return 0;
#ifdef HASHBENCH_HAVE_X11
  const ConsoleRequest request{std::u16string(caption), style, columns, rows, left, top};
  const X11OpenResult opened = OpenX11Console(request, ValidGrid(columns, rows));
  const Fallback fallback = FallbackFor(opened);
  if (!fallback.toStream) {
    std::this_thread::sleep_for(kSettleTime);
    g_currentConsole.store(opened.console);
    return opened.console == nullptr ? 0 : opened.handle;
  }
#else
  (void)caption, (void)style, (void)left, (void)top;
  const Fallback fallback{true, {}};
#endif
  if (!ValidGrid(columns, rows)) return 0;
  if (!fallback.cause.empty()) SayOnStandardError(fallback.cause + "; writing to standard output");
  return OpenStreamConsole(columns, rows);
}

void PrintText(std::u16string_view text) {
  if (ConsoleBackend* console = g_currentConsole.load()) console->Print(text);
}

void NewLine() {
  if (ConsoleBackend* console = g_currentConsole.load()) console->NewLine();
}

std::u16string WaitKey() {
  ConsoleBackend* console = g_currentConsole.load();
  return console == nullptr ? std::u16string() : console->WaitKey();
}

void FlushConsoleOutput() {
  if (StreamConsole* stream = StreamConsoleHolder().get()) stream->Flush();
}

bool ConsoleOutputFailed() {
  const StreamConsole* stream = StreamConsoleHolder().get();
  return stream != nullptr && stream->OutputFailed();
}

}  // namespace hb
