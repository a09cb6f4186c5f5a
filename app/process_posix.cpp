#include "app/process.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "app/main_routine.h"
#include "app/startup.h"

// Start of the program's own image, placed by the linker.
extern "C" const char __executable_start[];

namespace hb {

uintptr_t ProgramInstance() noexcept { return reinterpret_cast<uintptr_t>(__executable_start); }

// Nothing at start-up asks for another way of showing the first window.
int32_t StartupShowCommand() noexcept { return kShowDefault; }

void EndProcess(int code) {
  std::cout.flush();
  std::fflush(nullptr);
  _exit(code);
}

}  // namespace hb
