#include "tests/support/fault_injection.h"

#include <cstdlib>

namespace hb::test {

std::vector<std::string> InjectFault(const std::string& fault) {
  // AddressSanitizer wants its runtime first among the loaded libraries; the
  // fault library must come before it to be asked first.
  const char* asanOptions = std::getenv("ASAN_OPTIONS");
  std::string asan = "ASAN_OPTIONS=verify_asan_link_order=0";
  if (asanOptions != nullptr && *asanOptions != '\0') asan += std::string(":") + asanOptions;
  return {"LD_PRELOAD=" HB_FAULT_LIBRARY, "HB_INJECT_FAULT=" + fault, asan};
}

}  // namespace hb::test
