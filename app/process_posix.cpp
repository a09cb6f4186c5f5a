#include "app/process.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "app/main_routine.h"
#include "app/startup.h"
#include "console/console.h"

// Start of the program's own image, placed by the linker.
extern "C" const char __executable_start[];

// LeakSanitizer's check, there only in a build with it. The process ends
// with _exit, which skips the check that would run at exit.
extern "C" void __lsan_do_leak_check() __attribute__((weak));

namespace hb {

uintptr_t ProgramInstance() noexcept { return reinterpret_cast<uintptr_t>(__executable_start); }

// Nothing at start-up asks for another way of showing the first window.
int32_t StartupShowCommand() noexcept { return kShowDefault; }

void EndProcess(int code) {
  FlushConsoleOutput();  // the stream console holds its output into a pipe or a file
  std::cout.flush();
  std::fflush(nullptr);
  if (code == 0 && ConsoleOutputFailed()) code = kOutputLostExitCode;
  if (__lsan_do_leak_check != nullptr) __lsan_do_leak_check();
  _exit(code);
}

}  // namespace hb
