# Sourced by the other scripts: makes sure the Debian packages a step needs are
# installed. As root it installs what is missing; otherwise it names them in
# one line and stops.

hb_package_installed() {  # package
  [ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null)" = "install ok installed" ]
}

hb_ensure_packages() {  # packages...
  local missing=() pkg log
  for pkg in "$@"; do
    hb_package_installed "$pkg" || missing+=("$pkg")
  done
  if [ "${#missing[@]}" -eq 0 ]; then
    return 0
  fi
  if [ "$(id -u)" -ne 0 ]; then
    echo "hashbench: missing Debian packages (install them as root): ${missing[*]}" >&2
    exit 1
  fi
  echo "hashbench: installing ${missing[*]}"
  log=$(mktemp "${TMPDIR:-/tmp}/hashbench-apt.XXXXXX") || {
    echo "hashbench: cannot create a log file for apt-get in ${TMPDIR:-/tmp}" >&2
    exit 1
  }
  # --no-install-recommends keeps extra fonts from arriving with the X tools.
  if { apt-get update -qq &&
       DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"; } \
       >"$log" 2>&1; then
    rm -f "$log"
  else
    echo "hashbench: apt-get could not install: ${missing[*]} (see $log)" >&2
    exit 1
  fi
}

HB_BUILD_PACKAGES=(g++ cmake make pkg-config libx11-dev libxft-dev libfontconfig-dev fonts-dejavu-core)
HB_TEST_PACKAGES=(libgtest-dev clang libclang-rt-14-dev valgrind xvfb xdotool x11-utils)
# The clang build with shared libraries (scripts/test.d/40-clang-shared.sh)
# builds with Ninja.
HB_CLANG_SHARED_PACKAGES=(ninja-build)
# The Windows build (scripts/build-windows.sh) and its tests under Wine
# (scripts/test.d/50-windows.sh).
HB_WINDOWS_BUILD_PACKAGES=(g++-mingw-w64-x86-64-posix cmake make googletest)
HB_WINDOWS_TEST_PACKAGES=(wine64 xvfb xdotool)
