#include "app/startup.h"

#include <cstdint>
#include <string>

#include "app/command_line.h"
#include "app/floating_point.h"
#include "app/process.h"
#include "app/random_key.h"
#include "console/console.h"
#include "runtime/errors.h"

namespace hb {
namespace {

void Report(const StartupSeams& seams, std::string_view step) {
  if (seams.reportStep != nullptr) seams.reportStep(step);
}

// The main thread's settings block is its runtime error record
// (runtime/errors.h), which every thread has from its first use; start-up
// begins it empty and shutdown leaves it empty.
void MakeSettingsBlock() { ClearError(); }
void ReleaseSettingsBlock() { ClearError(); }

// On Linux the component-object library's initialisation stands for nothing
// to load: every object comes from the program's own class registry, in
// process, and is used on the main thread only, so there is no apartment to
// enter at start-up and none to leave at shutdown. The two steps keep their
// places so that start-up and shutdown stay in their fixed order.
void InitializeObjectLibrary() {}
void UninitializeObjectLibrary() {}

// The live-object count needs no step of its own: it is zero until the first
// object is made, and start-up makes none.
void SetProgramState() {
  ResetRandomState();
  SetFloatingPointControlWord(kProgramControlWord);
  InitializeFontTable();
}

}  // namespace

int RunProgram(const StartupSeams& seams) {
  if (seams.readPlatformVersion().platform != kSupportedPlatform) {
    seams.showMessage(kRefusalText);
    return kRefusedExitCode;
  }
  Report(seams, "platform checked");

  const int32_t show = StartupShowCommand();
  const std::u16string commandLine = OwnCommandLine();
  const std::u16string_view arguments = SkipProgramName(commandLine);
  const uintptr_t instance = ProgramInstance();
  Report(seams, "command line read");

  MakeSettingsBlock();
  Report(seams, "settings block made");
  InitializeObjectLibrary();
  Report(seams, "object library initialised");
  SetProgramState();
  Report(seams, "program state set");

  const int exitCode = seams.mainRoutine(instance, 0, arguments, show);
  Report(seams, "main routine returned");

  // The runtime keeps no open file or search handle, and the program no
  // global string, reference or array, so shutdown starts with the settings
  // block.
  ReleaseSettingsBlock();
  Report(seams, "settings block released");
  UninitializeObjectLibrary();
  Report(seams, "object library uninitialised");
  return exitCode;
}

}  // namespace hb
