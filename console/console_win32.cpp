// The console functions of console.h on Windows: the console is always the
// Win32 window; every later call goes to it.
#include "console/console.h"

#include <windows.h>

#include <atomic>
#include <mutex>

#include "console/backend.h"
#include "console/win32_console.h"

namespace hb {
namespace {

// Larger grids are refused: they could not be shown and would only eat memory.
constexpr int32_t kMaxGridSide = 4096;
// Lets the new window settle before the program prints.
constexpr DWORD kSettleMs = 40;

std::atomic<ConsoleBackend*> g_currentConsole{nullptr};

bool ValidGrid(int32_t columns, int32_t rows) {
  return columns > 0 && rows > 0 && columns <= kMaxGridSide && rows <= kMaxGridSide;
}

}  // namespace

uintptr_t OpenConsoleWindow(std::u16string_view caption, uint32_t style, int32_t columns, int32_t rows,
                            int32_t left, int32_t top) {
  static std::mutex openLock;  // one opening at a time
  std::lock_guard guard(openLock);
  if (g_currentConsole.load() != nullptr || !ValidGrid(columns, rows)) return 0;
  const ConsoleRequest request{std::u16string(caption), style, columns, rows, left, top};
  uintptr_t surface = 0;
  ConsoleBackend* console = OpenWin32Console(request, surface);
  if (console == nullptr) return 0;
  Sleep(kSettleMs);
  g_currentConsole.store(console);
  return surface;
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

// The window shows every print before it returns: nothing is held back.
void FlushConsoleOutput() {}

// Nothing is written to a file or a pipe: nothing can fail to be written.
bool ConsoleOutputFailed() { return false; }

}  // namespace hb
