#!/usr/bin/env bash
# Installs the Debian packages the game and its tests need (only those
# missing), then configures and builds into the given folder: everything,
# or only the given target and what it needs.
# Usage: scripts/setup.sh BUILD_DIR [--target NAME] [extra cmake arguments...]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$1"
shift
target=()
if [ "${1:-}" = "--target" ]; then
  target=(--target "$2")
  shift 2
fi

packages=(
  g++ cmake make pkg-config
  libglfw3-dev libgl-dev libx11-dev libgtest-dev
  libstb-dev libvorbis-dev libopenal-dev
  xvfb xauth libgl1-mesa-dri xdotool
  sound-theme-freedesktop
  desktop-file-utils dpkg-dev
)
# Only the fuzzing build (scripts/fuzz.sh) needs clang and its fuzzing engine.
if [[ " $* " == *" -DORV_FUZZ=ON "* ]]; then
  packages+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S "$here" -B "$build" "$@" >/dev/null
cmake --build "$build" -j"$(nproc)" "${target[@]}"
