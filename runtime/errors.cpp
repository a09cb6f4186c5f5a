#include "runtime/errors.h"

#include <unistd.h>

#include <atomic>

namespace hb {
namespace {

std::atomic<void (*)()> g_beforeFatalExit{nullptr};

// Each thread's record of its most recent runtime error, empty until the
// thread raises one.
struct ErrorRecord {
  int32_t number = 0;           // 0 when none
  const char* where = nullptr;  // the operation that raised it, or null
};

ErrorRecord& ThreadErrorRecord() noexcept {
  thread_local ErrorRecord record;
  return record;
}

}  // namespace

void SetBeforeFatalExit(void (*beforeExit)()) noexcept { g_beforeFatalExit.store(beforeExit); }

void RaiseError(int32_t number, const char* where) noexcept {
  if (number == 0) number = kErrorUnspecified;
  if (number >= kFirstFatalError) {
    if (void (*beforeExit)() = g_beforeFatalExit.load()) beforeExit();
    _exit(kFatalExitCode);
  }
  ErrorRecord& record = ThreadErrorRecord();
  record.number = number;
  record.where = where;
}

int32_t LastError() noexcept { return ThreadErrorRecord().number; }

const char* LastErrorWhere() noexcept { return ThreadErrorRecord().where; }

void ClearError() noexcept { ThreadErrorRecord() = ErrorRecord{}; }

}  // namespace hb
