// Start-up and shutdown around Main.
//
// Start-up checks the platform, reads the command line, makes the main
// thread's settings block, sets the process-wide state (random generator,
// floating-point mode, font table, live-object count) and calls the main
// routine; shutdown then releases what start-up made, in reverse. The exit
// code is the main routine's result, or 255 when the platform is refused.
// A fatal runtime error ends the process with 255 from wherever it happens,
// without any shutdown step (see runtime/errors.h). When the console's
// output could not be written (a full disk, a closed standard output), a run
// that would end with 0 ends with 1 instead.
#pragma once

#include <string_view>

#include "app/main_routine.h"
#include "app/platform_version.h"
#include "console/message_box.h"

namespace hb {

inline constexpr int kRefusedExitCode = 255;
inline constexpr int kOutputLostExitCode = 1;
inline constexpr std::string_view kRefusalText = "Win98 No Support";

// What start-up talks to; tests replace any of them.
struct StartupSeams {
  PlatformVersion (*readPlatformVersion)() = ReadPlatformVersion;
  void (*showMessage)(std::string_view text) = ShowMessageBox;
  MainRoutine mainRoutine = Main;
  // Told the name of each start-up and shutdown step as it is done; may be null.
  void (*reportStep)(std::string_view step) = nullptr;
};

// Runs start-up, the main routine and shutdown; returns the exit code.
int RunProgram(const StartupSeams& seams = {});

// Flushes the console's output and standard output and ends the process
// with `code` at once, without running static destructors: the console
// thread may still be drawing. A `code` of 0 becomes kOutputLostExitCode
// when the console's output could not be written. In a build with
// LeakSanitizer the leak check runs first, over the whole run.
[[noreturn]] void EndProcess(int code);

}  // namespace hb
