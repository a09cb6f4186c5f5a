#include "app/platform_version.h"

#include <windows.h>

#include <cstring>

namespace hb {

static_assert(sizeof(OSVERSIONINFOA) == sizeof(PlatformVersion));
static_assert(VER_PLATFORM_WIN32_NT == kSupportedPlatform);

PlatformVersion ReadPlatformVersion() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  PlatformVersion record{};
  record.size = sizeof record;
  // Deprecated for version checks, but it is the one call that tells the
  // platform family; a failure leaves the family unknown, which is refused.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (GetVersionExA(&info) == 0) return record;
#pragma GCC diagnostic pop
  record.major = info.dwMajorVersion;
  record.minor = info.dwMinorVersion;
  record.build = info.dwBuildNumber;
  record.platform = info.dwPlatformId;
  std::memcpy(record.description, info.szCSDVersion, sizeof record.description);
  record.description[sizeof record.description - 1] = '\0';
  return record;
}

}  // namespace hb
