// Prints a line and an unfinished one on the stream console, then ends the
// process without running destructors: `end` through EndProcess with exit
// code 3, `fatal` through a fatal runtime error. The run tests check that
// both lines still come out. `leak` loses some memory first and then ends
// like `end`: a build with LeakSanitizer must find it.
#include <string_view>

#include "app/startup.h"
#include "console/console.h"
#include "runtime/errors.h"

namespace {

// Blocks that nothing points to any more; the last one may still be seen
// in a register or on the stack, the others cannot.
void LoseMemory() {
  char* volatile block = nullptr;
  for (int i = 0; i < 16; ++i) block = new char[64];
  (void)block;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string_view how = argc == 2 ? argv[1] : "end";
  if (how == "leak") LoseMemory();
  hb::InitializeFontTable();
  hb::OpenConsoleWindow(u"Test", 0, 80, 50, 0, 0);
  hb::PrintText(u"first line");
  hb::NewLine();
  hb::PrintText(u"unfinished");
  if (how == "fatal") hb::RaiseError(hb::kFirstFatalError);
  hb::EndProcess(3);
}
