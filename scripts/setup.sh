#!/usr/bin/env bash
# Installs the Debian packages that are missing, then configures and builds
# into the given folder: everything, or only the given target and what it
# needs. With --play only what building and running the game needs is
# installed (the play command); otherwise also what the tests, the
# benchmarks and packaging use. --web adds what the browser version's build
# needs (web.sh).
# Usage: scripts/setup.sh [--play] [--web] BUILD_DIR [--target NAME] [extra cmake arguments...]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
play=false
web=false
while [ "${1:-}" = "--play" ] || [ "${1:-}" = "--web" ]; do
  [ "$1" = "--play" ] && play=true || web=true
  shift
done
build="$1"
shift
target=()
if [ "${1:-}" = "--target" ]; then
  target=(--target "$2")
  shift 2
fi

# Building and running the game: compiler and build tools, the libraries it
# links (window, OpenGL, sound, Ogg Vorbis), the image decoder's headers and
# an OpenGL driver.
packages=(
  g++ cmake make pkg-config
  libglfw3-dev libgl-dev libx11-dev
  libstb-dev libvorbis-dev libopenal-dev
  libgl1-mesa-dri
)
if ! $play; then
  # The tests: GoogleTest, a virtual display and input, Ogg files of a sound
  # theme; and the checkers and tools of the launcher entry, the software-
  # centre entry, the manual page and the Debian package; and a browser and
  # Node.js (with its npm, for the test driver) for the browser version's tests.
  packages+=(
    libgtest-dev xvfb xauth xdotool
    sound-theme-freedesktop
    desktop-file-utils appstream man-db dpkg-dev lintian
    chromium nodejs
  )
fi
# The browser version: its compiler, the tools that unpack Debian's Ogg and
# Vorbis sources for it, and a static file server.
if $web; then
  packages+=(emscripten dpkg-dev python3)
fi
# Only the fuzzing build (scripts/fuzz.sh) needs clang and its fuzzing engine.
if [[ " $* " == *" -DORV_FUZZ=ON "* ]]; then
  packages+=(clang libclang-rt-14-dev)
fi

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "ok installed"; }
missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The tests need GoogleTest even to be configured: a build for playing
# leaves them out unless it is there, a build for testing always has them.
testing=(-DBUILD_TESTING=ON)
if $play; then
  testing=()
  installed libgtest-dev || testing=(-DBUILD_TESTING=OFF)
fi

cmake -S "$here" -B "$build" "${testing[@]}" "$@" >/dev/null
cmake --build "$build" -j"$(nproc)" "${target[@]}"
