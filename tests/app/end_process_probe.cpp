// Prints a line and an unfinished one on the stream console, then ends the
// process without running destructors: `end` through EndProcess with exit
// code 3, `fatal` through a fatal runtime error. The run tests check that
// both lines still come out.
#include <string_view>

#include "app/startup.h"
#include "console/console.h"
#include "runtime/errors.h"

int main(int argc, char** argv) {
  hb::InitializeFontTable();
  hb::OpenConsoleWindow(u"Test", 0, 80, 50, 0, 0);
  hb::PrintText(u"first line");
  hb::NewLine();
  hb::PrintText(u"unfinished");
  if (argc == 2 && std::string_view(argv[1]) == "fatal") hb::RaiseError(hb::kFirstFatalError);
  hb::EndProcess(3);
}
