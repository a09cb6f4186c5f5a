#include "app/platform_version.h"

#include <sys/utsname.h>

namespace hb {

PlatformVersion ReadPlatformVersion() {
  utsname names{};
  if (uname(&names) != 0) return MakePlatformVersion("", "");
  return MakePlatformVersion(names.sysname, names.release);
}

}  // namespace hb
