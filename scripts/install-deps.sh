#!/usr/bin/env bash
# Installs the Debian packages Linkwise needs to build, run and test.
# Needs root (or sudo); run it once as a user with: sudo scripts/install-deps.sh
# With --build-only it installs what building and running the programs need
# (for a -DBUILD_TESTING=OFF build), without the test and benchmark packages.
set -euo pipefail
build=(cmake ninja-build g++ pkgconf qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev libudev-dev
       libusb-1.0-0-dev linux-libc-dev dpkg-dev file fakeroot xdg-utils desktop-file-utils shared-mime-info)
testing=(libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev xvfb xauth bash-completion lintian
         appstream)
case "${1:-}" in
  "") packages=("${build[@]}" "${testing[@]}") ;;
  --build-only) packages=("${build[@]}") ;;
  *) echo "Usage: install-deps.sh [--build-only]" >&2; exit 2 ;;
esac
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
