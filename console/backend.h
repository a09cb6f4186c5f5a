// What the console functions of console.h ask of the open console, whichever
// kind it is. All calls come from the main thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace hb {

class ConsoleBackend {
 public:
  virtual void Print(std::u16string_view text) = 0;
  virtual void NewLine() = 0;
  virtual std::u16string WaitKey() = 0;

 protected:
  ~ConsoleBackend() = default;
};

// What OpenConsoleWindow asks for.
struct ConsoleRequest {
  std::u16string caption;
  uint32_t style = 0;  // 0: caption bar (when there is a caption) and a thin border
  int32_t columns = 0;
  int32_t rows = 0;
  int32_t left = 0;
  int32_t top = 0;
};

}  // namespace hb
