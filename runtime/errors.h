// Runtime errors and the per-thread settings block.
//
// A runtime operation that fails abandons its work, leaves its documented
// result (an empty string, an unchanged or undimensioned array) and records
// the error number in the running thread's settings block; execution goes on
// and nothing is shown. Numbers from kFirstFatalError up end the process at
// once with exit code 255, skipping every shutdown step.
#pragma once

#include <cstdint>

namespace hb {

inline constexpr int32_t kErrorOverflow = 6;        // a number outside its target's range
inline constexpr int32_t kErrorOutOfMemory = 7;
inline constexpr int32_t kErrorSubscriptOutOfRange = 9;
inline constexpr int32_t kErrorUnspecified = 51;    // what an error 0 is recorded as
inline constexpr int32_t kErrorFreeFailed = 241;    // a block could not be freed
inline constexpr int32_t kFirstFatalError = 241;
inline constexpr int kFatalExitCode = 255;

// Per-thread runtime state. Every thread gets its own block on first use; its
// five settings are copied from the main thread's (1, 1, 2, 3, 0 at start; the
// last one is the code page of text conversion, 0 meaning the fixed 8-bit
// page that ToWide uses).
struct ThreadSettings {
  int32_t settings[5];      // copied from the main thread's block
  int32_t error_number;     // most recent runtime error, 0 when none
  const char* error_where;  // the operation that raised it, or null
};

inline constexpr int32_t kDefaultSettings[5] = {1, 1, 2, 3, 0};

ThreadSettings& CurrentThreadSettings() noexcept;

// Records `number` for the running procedure (0 is recorded as 51). A number
// of 241 or above ends the process with exit code 255 instead.
void RaiseError(int32_t number, const char* where = nullptr) noexcept;

// Called just before a fatal error ends the process, so that output still
// held in a buffer goes out first; null (the start) calls nothing.
void SetBeforeFatalExit(void (*beforeExit)()) noexcept;

// The error recorded on this thread since the last ClearError, 0 if none.
int32_t LastError() noexcept;
void ClearError() noexcept;

}  // namespace hb
