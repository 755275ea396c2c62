#!/usr/bin/env bash
# Builds the Ogg and Vorbis libraries for the browser from Debian's own source
# packages, into PREFIX (include/ and lib/), once: a prefix that holds both
# libraries is left as it is. Getting the sources needs a deb-src entry for
# the system's suites; when there is none, one is added in a file of its own,
# /etc/apt/sources.list.d/vellumby-deb-src.sources, and that is said.
# Usage: scripts/web_deps.sh PREFIX
set -euo pipefail
prefix="$(mkdir -p "$1" && cd "$1" && pwd)"
[ -f "$prefix/lib/libvorbisfile.a" ] && [ -f "$prefix/lib/libogg.a" ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
list=/etc/apt/sources.list.d/vellumby-deb-src.sources
if ! grep -rqs "^Types:.*deb-src" /etc/apt/sources.list.d/ && ! grep -qs "^deb-src" /etc/apt/sources.list; then
  echo "Adding $list: Debian's source packages of the system's suites, for the browser's Ogg and Vorbis"
  sed 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources | $sudo tee "$list" >/dev/null
  $sudo apt-get update -qq
fi

work="$prefix/src"
rm -rf "$work"
mkdir -p "$work"
cd "$work"
apt-get source -qq --download-only libogg libvorbis
for dsc in libogg_*.dsc libvorbis_*.dsc; do dpkg-source -x --no-check "$dsc" >/dev/null; done

# The browser's compiler finds its JavaScript tools through Debian's module folder.
export NODE_PATH=/usr/share/nodejs
toolchain=/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake
build() {  # SOURCE_FOLDER [cmake arguments...]
  local src="$1"
  shift
  # Not emcmake: its emulator flag for node is one the machine's node 20
  # refuses, which makes every size check of a configure step fail.
  cmake -S "$src" -B "$src/build-web" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_CROSSCOMPILING_EMULATOR="/usr/bin/node;--no-experimental-fetch" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTING=OFF -DCMAKE_C_FLAGS="-ffp-contract=off" "$@" >/dev/null
  cmake --build "$src/build-web" -j"$(nproc)" >/dev/null
  cmake --install "$src/build-web" >/dev/null
}
build "$(ls -d libogg-*/ | head -1)" -DINSTALL_DOCS=OFF
# The toolchain looks for libraries in its own system root only: Ogg is named.
build "$(ls -d libvorbis-*/ | head -1)" -DOGG_LIBRARY="$prefix/lib/libogg.a" -DOGG_INCLUDE_DIR="$prefix/include"
echo "Ogg and Vorbis for the browser: $prefix"
