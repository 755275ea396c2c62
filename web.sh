#!/usr/bin/env bash
# Builds the game for browsers into build-web/ and serves it: the finished
# site is build-web/site/ (index.html and every file the page loads), which
# any static file server can serve as it is. Installs what is missing
# (Debian packages only). With --build-only it builds without serving;
# --tests builds without serving, and also the platform-free tests for the
# browser's machine (build-web/test_wasm.js and test_wasm_saves.js, run under node).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
serve=true
tests=OFF
[ "${1:-}" = "--build-only" ] && serve=false
[ "${1:-}" = "--tests" ] && serve=false && tests=ON

# The game's data is made by the desktop build's generator; the browser's
# packages are installed with the desktop build's.
"$here/scripts/setup.sh" --play --web "$here/build" --target game_data -DCMAKE_BUILD_TYPE=RelWithDebInfo
"$here/scripts/web_deps.sh" "$here/build-web/deps"

# The browser's compiler finds its JavaScript tools through Debian's module
# folder; its checks run under the machine's node (not emcmake, whose node
# flag this node refuses).
export NODE_PATH=/usr/share/nodejs
cmake -S "$here" -B "$here/build-web" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DCMAKE_TOOLCHAIN_FILE=/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake \
  "-DCMAKE_CROSSCOMPILING_EMULATOR=/usr/bin/node;--no-experimental-fetch" \
  -DVELLUMBY_WEB_DEPS="$here/build-web/deps" -DVELLUMBY_WEB_DATA="$here/build/data" -DVELLUMBY_WEB_TESTS=$tests \
  >/dev/null
cmake --build "$here/build-web" -j"$(nproc)" --target vellumby
[ $tests = OFF ] || cmake --build "$here/build-web" -j"$(nproc)" --target test_wasm test_wasm_saves

$serve || exit 0
echo "Vellumby is served on http://127.0.0.1:8080/ (Ctrl+C ends it)"
cd "$here/build-web/site"
exec python3 -m http.server 8080 --bind 127.0.0.1
