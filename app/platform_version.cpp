#include "app/platform_version.h"

#include <cstdlib>
#include <cstring>

namespace hb {
namespace {

// Reads a decimal number at *text and steps past it and one following ".".
uint32_t TakeNumber(const char*& text) {
  if (*text < '0' || *text > '9') return 0;
  char* end = nullptr;
  const unsigned long value = std::strtoul(text, &end, 10);
  text = *end == '.' ? end + 1 : end;
  return static_cast<uint32_t>(value);
}

}  // namespace

PlatformVersion MakePlatformVersion(const char* system, const char* release) {
  PlatformVersion record{};
  record.size = sizeof record;
  record.platform = std::strcmp(system, "Linux") == 0 ? kSupportedPlatform : kUnknownPlatform;
  const char* rest = release;
  record.major = TakeNumber(rest);
  record.minor = TakeNumber(rest);
  record.build = TakeNumber(rest);
  std::strncpy(record.description, rest, sizeof record.description - 1);
  return record;
}

}  // namespace hb
