// What start-up takes from the operating system besides the platform record
// and the command line, and how the process ends (process_posix.cpp,
// process_win32.cpp).
#pragma once

#include <cstdint>

namespace hb {

// The instance handle handed to Main: where the program's image starts.
uintptr_t ProgramInstance() noexcept;

// The window-show value the start-up information asks for; kShowDefault
// when it asks for none.
int32_t StartupShowCommand() noexcept;

}  // namespace hb
