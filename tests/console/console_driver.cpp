// Drives the console for the tests: runs the commands given as arguments in
// order and reports on standard error, one line per report. Standard output
// belongs to the console (the stream console writes there).
//
//   open[:caption:columns:rows:left:top]  OpenConsoleWindow (default Test:80:50:0:0); "open <handle>"
//   print:<text>    PrintText of the bytes widened as the program does
//   newline         NewLine
//   lines:<n>       n times "line <i>" and NewLine
//   key             WaitKey; "key <code>" or "key none"
//   facts           "facts <cell width> <line height> <click state> <family>" (X11 only)
//   view            "view <columns> <rows> <top row>": the cells the window shows (X11 only)
//   mark:<name>     "mark <name>"
//   hold            waits until a line arrives on standard input (or it ends)
//   bound:<ms>      how long the main thread waits for the X11 console thread
//   oom:<command>   the command with every allocation of the runtime failing
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "console/console.h"
#ifdef HASHBENCH_HAVE_X11
#include "console/x11_console.h"
#endif
#include "runtime/allocation_failure.h"
#include "runtime/string_ops.h"

namespace {

void Report(const std::string& line) {
  std::fprintf(stderr, "%s\n", line.c_str());
  std::fflush(stderr);
}

std::vector<std::string> Fields(std::string_view command) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t colon = command.find(':', start);
    fields.emplace_back(command.substr(start, colon - start));
    if (colon == std::string_view::npos) return fields;
    start = colon + 1;
  }
}

std::u16string Wide(std::string_view bytes) { return hb::ToWide(hb::DynString(bytes)); }

void Open(const std::vector<std::string>& fields) {
  const auto number = [&](std::size_t index, int fallback) {
    return fields.size() > index ? std::atoi(fields[index].c_str()) : fallback;
  };
  const std::string caption = fields.size() > 1 ? fields[1] : "Test";
  const uintptr_t handle = hb::OpenConsoleWindow(Wide(caption), 0, number(2, 80), number(3, 50), number(4, 0),
                                                 number(5, 0));
  Report("open " + std::to_string(handle));
}

void Facts() {
#ifndef HASHBENCH_HAVE_X11
  Report("facts none");
#else
  const std::optional<hb::X11ConsoleFacts> facts = hb::CurrentX11ConsoleFacts();
  if (!facts) return Report("facts none");
  Report("facts " + std::to_string(facts->cellWidth) + " " + std::to_string(facts->lineHeight) + " " +
         std::to_string(facts->clickState) + " " + facts->fontFamily);
#endif
}

void View() {
#ifndef HASHBENCH_HAVE_X11
  Report("view none");
#else
  const std::optional<hb::X11ConsoleFacts> facts = hb::CurrentX11ConsoleFacts();
  if (!facts) return Report("view none");
  Report("view " + std::to_string(facts->viewColumns) + " " + std::to_string(facts->viewRows) + " " +
         std::to_string(facts->viewTop));
#endif
}

void Hold() {
  char byte = 0;
  while (read(STDIN_FILENO, &byte, 1) == 1 && byte != '\n') {
  }
}

void Run(std::string_view command) {
  const std::vector<std::string> fields = Fields(command);
  const std::string& verb = fields[0];
  if (verb == "open") return Open(fields);
  if (verb == "print") return hb::PrintText(Wide(command.substr(command.find(':') + 1)));
  if (verb == "newline") return hb::NewLine();
  if (verb == "lines") {
    const int count = std::atoi(fields.at(1).c_str());
    for (int i = 1; i <= count; ++i) {
      hb::PrintText(Wide("line " + std::to_string(i)));
      hb::NewLine();
    }
    return;
  }
  if (verb == "key") {
    const std::u16string key = hb::WaitKey();
    return Report(key.empty() ? "key none" : "key " + std::to_string(static_cast<unsigned>(key[0])));
  }
  if (verb == "facts") return Facts();
  if (verb == "view") return View();
  if (verb == "mark") return Report("mark " + fields.at(1));
  if (verb == "hold") return Hold();
  if (verb == "oom") {
    hb::ScopedAllocationFailure failing(1 << 30);
    return Run(command.substr(command.find(':') + 1));
  }
#ifdef HASHBENCH_HAVE_X11
  if (verb == "bound") return hb::SetX11ConsoleWaitBound(std::chrono::milliseconds(std::atoi(fields.at(1).c_str())));
#endif
  Report("unknown command " + std::string(command));
  std::exit(2);
}

}  // namespace

int main(int argc, char** argv) {
  hb::InitializeFontTable();
  for (int i = 1; i < argc; ++i) Run(argv[i]);
  return 0;
}
