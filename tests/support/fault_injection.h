// Makes one system service fail inside a child process, as a starved system
// would: the fault library (fault_library.cpp) is loaded into the child with
// LD_PRELOAD and told which fault to play.
#pragma once

#include <string>
#include <vector>

namespace hb::test {

// The faults the library plays.
inline constexpr const char* kNoThreadFault = "thread";    // every thread start fails with EAGAIN
inline constexpr const char* kNoEventFdFault = "eventfd";  // every eventfd fails with EMFILE

// Environment entries ("NAME=value") that load the library into a child and
// pick `fault`; a sanitizer build is told to accept a library loaded first.
std::vector<std::string> InjectFault(const std::string& fault);

}  // namespace hb::test
