#include "app/main_routine.h"

#include "app/benchmarks.h"
#include "app/print.h"
#include "console/console.h"
#include "runtime/string_ops.h"

namespace hb {

int32_t Main(uintptr_t, uintptr_t, std::u16string_view, int32_t) {
  // When the console cannot be opened the run goes on: printing then does
  // nothing and WaitKey returns at once.
  [[maybe_unused]] const uintptr_t surface = OpenConsoleWindow(ToWide("Test"), 0, 80, 50, 0, 0);
  WordBagDemo();
  StringBagBenchmark();
  StringMapDemo();
  StringMapBenchmark();
  PrintString("Done");
  NewLine();
  WaitKey();
  return 0;
}

}  // namespace hb
