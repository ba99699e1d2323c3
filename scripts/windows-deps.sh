#!/usr/bin/env bash
# Builds the third-party libraries that the Windows cross build needs, from Debian's own sources,
# into WORK/prefix (the windows preset runs this from its configure step, with WORK in its build
# tree):
# - Xerces-C, from Debian's xerces-c source package (Debian ships no MinGW build of it): only the
#   library, as a DLL, with the Windows transcoder and file manager and no network access;
# - GoogleTest and GoogleMock, from the sources that Debian's googletest package installs;
# - the header-only libraries (Boost, CLI11, nlohmann-json), which are the same on every
#   platform: their Debian headers and package files are mirrored into the prefix.
# Each library is built once: a second run finds its stamp and skips it.
#
# The source package comes through apt with a private deb-src list derived from the machine's own
# apt sources (same URIs and suites), so the machine's apt configuration is left untouched.
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: $0 WORK" >&2
  exit 2
fi
work=$(mkdir -p "$1" && cd "$1" && pwd)
source_dir=$(cd "$(dirname "$0")/.." && pwd)
toolchain="${source_dir}/cmake/MinGW-w64.toolchain.cmake"
prefix="${work}/prefix"
mkdir -p "${prefix}" "${work}/build"

# Third-party code is built without our warnings, optimised, with ccache when it is installed.
cmake_args=(-G Ninja -DCMAKE_TOOLCHAIN_FILE="${toolchain}" -DCMAKE_BUILD_TYPE=Release
            -DCMAKE_INSTALL_PREFIX="${prefix}" -Wno-dev)
if command -v ccache >/dev/null; then
  cmake_args+=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  # Paths taken relative to WORK, so that a build in another clone (CI's) reuses the cache.
  export CCACHE_BASEDIR="${work}"
fi

# Runs apt-get on the private deb-src list in WORK/apt.
private_apt() {
  local apt="${work}/apt"
  apt-get -q -o Dir::Etc::SourceParts="${apt}/sources" -o Dir::Etc::SourceList=/dev/null \
    -o Dir::State::Lists="${apt}/lists" -o Dir::Cache="${apt}/cache" \
    -o APT::Sandbox::User="$(id -un)" "$@"
}

# Fetches and unpacks the Debian source package $1 into WORK/src/$1, with Debian's patches.
fetch_debian_source() {
  local package=$1 apt="${work}/apt"
  rm -rf "${apt}" "${work}/src/${package}"
  mkdir -p "${apt}/sources" "${apt}/lists/partial" "${apt}/cache/archives/partial" \
    "${work}/download/${package}" "${work}/src"
  # Every stanza or line of binary packages becomes the same for source packages.
  for list in /etc/apt/sources.list.d/*.sources; do
    [ -e "${list}" ] && sed -E 's/^Types:.*$/Types: deb-src/' "${list}" \
      >"${apt}/sources/$(basename "${list}")"
  done
  for list in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -e "${list}" ] && sed -n -E 's/^deb[[:space:]]/deb-src /p' "${list}" \
      >>"${apt}/sources/derived.list"
  done
  if [ -z "$(ls "${apt}/sources")" ]; then
    echo "$0: the machine has no apt sources to derive a deb-src list from" >&2
    exit 1
  fi
  private_apt update >/dev/null
  (cd "${work}/download/${package}" && private_apt source --download-only "${package}" >/dev/null)
  dpkg-source --no-check -x "${work}/download/${package}"/*.dsc "${work}/src/${package}" >/dev/null
}

build_xerces() {
  local stamp="${prefix}/.xerces-c"
  [ -e "${stamp}" ] && return
  echo "windows-deps: building Xerces-C from Debian's source package"
  fetch_debian_source xerces-c
  local src="${work}/src/xerces-c"
  # Only the library: its documentation, tests and samples are neither configured nor built.
  sed -i -E '/^add_subdirectory\((doc|tests|samples)\)/d' "${src}/CMakeLists.txt"
  rm -rf "${work}/build/xerces-c"
  cmake -S "${src}" -B "${work}/build/xerces-c" "${cmake_args[@]}" -DBUILD_SHARED_LIBS=ON \
    -Dnetwork=OFF -Dtranscoder=windows -Dmessage-loader=inmemory -Dxmlch-type=char16_t \
    >"${work}/build/xerces-c.log" 2>&1 || { tail -n 40 "${work}/build/xerces-c.log"; exit 1; }
  cmake --build "${work}/build/xerces-c"
  cmake --install "${work}/build/xerces-c" >/dev/null
  grep -m 1 '^Version:' "${work}"/download/xerces-c/*.dsc >"${stamp}"
}

build_googletest() {
  local stamp="${prefix}/.googletest"
  [ -e "${stamp}" ] && return
  local src=/usr/src/googletest
  if [ ! -e "${src}/CMakeLists.txt" ]; then
    echo "$0: ${src} is missing: install Debian's googletest package (scripts/setup.sh does)" >&2
    exit 1
  fi
  echo "windows-deps: building GoogleTest from ${src}"
  rm -rf "${work}/build/googletest"
  cmake -S "${src}" -B "${work}/build/googletest" "${cmake_args[@]}" -DBUILD_SHARED_LIBS=OFF \
    >"${work}/build/googletest.log" 2>&1 || { tail -n 40 "${work}/build/googletest.log"; exit 1; }
  cmake --build "${work}/build/googletest"
  cmake --install "${work}/build/googletest" >/dev/null
  dpkg-query -W -f='Version: ${Version}\n' googletest >"${stamp}"
}

# Mirrors a header-only Debian package: its include folder as a link, its CMake package files as
# copies, which find the headers relative to where they are.
mirror_headers() {
  local headers=$1 config=$2
  [ -d "/usr/include/${headers}" ] || return 0
  mkdir -p "${prefix}/include"
  ln -sfn "/usr/include/${headers}" "${prefix}/include/${headers}"
  if [ -n "${config}" ] && [ -d "/usr/share/cmake/${config}" ]; then
    rm -rf "${prefix}/share/cmake/${config}"
    mkdir -p "${prefix}/share/cmake"
    cp -r "/usr/share/cmake/${config}" "${prefix}/share/cmake/${config}"
  fi
}

build_xerces
build_googletest
mirror_headers boost ""
mirror_headers CLI CLI11
mirror_headers nlohmann nlohmann_json
