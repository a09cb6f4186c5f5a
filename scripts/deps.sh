# Sourced by the other scripts: makes sure the Debian packages a step needs are
# installed. As root it installs what is missing; otherwise it names them in
# one line and stops.

hb_missing_packages() {
  local missing=()
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
  done
  echo "${missing[@]}"
}

hb_ensure_packages() {
  local missing
  missing=$(hb_missing_packages "$@")
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "hashbench: missing Debian packages (install them as root): $missing" >&2
    exit 1
  fi
  echo "hashbench: installing $missing"
  # --no-install-recommends keeps extra fonts from arriving with the X tools.
  { apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing; } \
    >/tmp/hashbench-apt.log 2>&1 || {
    echo "hashbench: apt-get could not install: $missing (see /tmp/hashbench-apt.log)" >&2
    exit 1
  }
}

HB_BUILD_PACKAGES=(g++ cmake make pkg-config libx11-dev libxft-dev libfontconfig-dev fonts-dejavu-core)
HB_TEST_PACKAGES=(libgtest-dev clang libclang-rt-14-dev valgrind xvfb xdotool x11-utils)
# The Windows build (scripts/build-windows.sh) and its tests under Wine
# (scripts/test.d/50-windows.sh).
HB_WINDOWS_BUILD_PACKAGES=(g++-mingw-w64-x86-64-posix cmake make googletest)
HB_WINDOWS_TEST_PACKAGES=(wine64 xvfb xdotool)
