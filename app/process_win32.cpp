#include "app/process.h"

#include <windows.h>

#include <cstdio>
#include <iostream>

#include "app/main_routine.h"
#include "app/startup.h"

namespace hb {

uintptr_t ProgramInstance() noexcept { return reinterpret_cast<uintptr_t>(GetModuleHandleW(nullptr)); }

int32_t StartupShowCommand() noexcept {
  STARTUPINFOA info{};
  info.cb = sizeof info;
  GetStartupInfoA(&info);
  return (info.dwFlags & STARTF_USESHOWWINDOW) != 0 ? int32_t{info.wShowWindow} : kShowDefault;
}

// ExitProcess ends the console thread with the process; static destructors
// do not run, as they could meet that thread still drawing.
void EndProcess(int code) {
  std::cout.flush();
  std::fflush(nullptr);
  ExitProcess(static_cast<UINT>(code));
}

}  // namespace hb
