// Start-up on a platform that reports another family, with the real message
// box: the window tests drive it on a private X server and without one.
#include "app/startup.h"

namespace {
hb::PlatformVersion OtherPlatform() { return hb::MakePlatformVersion("SunOS", "5.11"); }
int NeverRun(uintptr_t, uintptr_t, std::u16string_view, int32_t) { return 3; }
}  // namespace

int main() {
  hb::StartupSeams seams;
  seams.readPlatformVersion = OtherPlatform;
  seams.mainRoutine = NeverRun;
  hb::EndProcess(hb::RunProgram(seams));
}
