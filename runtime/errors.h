// Runtime errors.
//
// A runtime operation that fails abandons its work, leaves its documented
// result (an empty string, an unchanged or undimensioned array) and records
// the error number, with the name of the operation, for the running thread;
// execution goes on and nothing is shown. Numbers from kFirstFatalError up end
// the process at once with kFatalExitCode, skipping every shutdown step.
#pragma once

#include <cstdint>

namespace hb {

inline constexpr int32_t kErrorInvalidArgument = 5;  // a negative count, say
inline constexpr int32_t kErrorOverflow = 6;         // a number outside its target's range
inline constexpr int32_t kErrorOutOfMemory = 7;
inline constexpr int32_t kErrorSubscriptOutOfRange = 9;
inline constexpr int32_t kErrorUnspecified = 51;     // what an error 0 is recorded as
inline constexpr int32_t kErrorFreeFailed = 241;     // a block could not be freed
inline constexpr int32_t kFirstFatalError = 241;
inline constexpr int kFatalExitCode = 255;

// Records `number` for the running thread, 0 as kErrorUnspecified, together
// with `where`, the operation that failed. A number of kFirstFatalError or
// above ends the process with kFatalExitCode instead.
void RaiseError(int32_t number, const char* where = nullptr) noexcept;

// Called just before a fatal error ends the process, so that output still
// held in a buffer goes out first; null (the start) calls nothing.
void SetBeforeFatalExit(void (*beforeExit)()) noexcept;

// The error recorded on this thread since the last ClearError, 0 if none, and
// the operation that raised it (null if none was named).
int32_t LastError() noexcept;
const char* LastErrorWhere() noexcept;
void ClearError() noexcept;

}  // namespace hb
