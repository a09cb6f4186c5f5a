#include "runtime/errors.h"

#include <unistd.h>

#include <atomic>

namespace hb {
namespace {

std::atomic<void (*)()> g_beforeFatalExit{nullptr};

}  // namespace

void SetBeforeFatalExit(void (*beforeExit)()) noexcept { g_beforeFatalExit.store(beforeExit); }

ThreadSettings& CurrentThreadSettings() noexcept {
  thread_local ThreadSettings block{
      {kDefaultSettings[0], kDefaultSettings[1], kDefaultSettings[2], kDefaultSettings[3],
       kDefaultSettings[4]},
      0,
      nullptr};
  return block;
}

void RaiseError(int32_t number, const char* where) noexcept {
  if (number == 0) number = kErrorUnspecified;
  if (number >= kFirstFatalError) {
    if (void (*beforeExit)() = g_beforeFatalExit.load()) beforeExit();
    _exit(kFatalExitCode);
  }
  ThreadSettings& block = CurrentThreadSettings();
  block.error_number = number;
  block.error_where = where;
}

int32_t LastError() noexcept { return CurrentThreadSettings().error_number; }

void ClearError() noexcept {
  ThreadSettings& block = CurrentThreadSettings();
  block.error_number = 0;
  block.error_where = nullptr;
}

}  // namespace hb
