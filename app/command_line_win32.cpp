#include "app/command_line.h"

#include <windows.h>

#include <cwchar>

namespace hb {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

std::u16string OwnCommandLine() {
  const wchar_t* line = GetCommandLineW();
  if (line == nullptr) return {};
  return std::u16string(reinterpret_cast<const char16_t*>(line), std::wcslen(line));
}

}  // namespace hb
