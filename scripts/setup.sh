#!/usr/bin/env bash
# Installs the Debian packages that building, testing and benchmarking Orv Units need, on Linux
# and for Windows.
# Packages already present are left alone, so a second run costs a second.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libxerces-c-dev libcli11-dev nlohmann-json3-dev libboost-dev
  libxml2-utils units libudunits2-dev locales
  valgrind clang libclang-rt-14-dev ccache
  clang-format python3
  python3-dev pybind11-dev python3-numpy python3-pytest python3-pint
  python3-venv python3-pip python3-setuptools python3-wheel
  # the man page (made by help2man) and the Debian package's check of it
  help2man man-db
  # the Windows cross build (the windows preset): MinGW-w64, Wine to run its tests, and what
  # scripts/windows-deps.sh needs to build Xerces-C and GoogleTest from Debian's sources
  g++-mingw-w64-x86-64-posix wine64 dpkg-dev googletest
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
