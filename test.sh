#!/usr/bin/env bash
# Sets up everything that is missing, builds, and runs the whole test suite
# under a virtual X display. In CI (CI=true) or with --all it also runs the
# suite in a build with address and undefined-behaviour checks, where every
# collector step finishes its cycle, and the worker threads' test under the
# thread checker.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
all=false
[ "${CI:-}" = "true" ] || [ "${1:-}" = "--all" ] && all=true

run_suite() {
  local build="$1"
  shift
  "$here/scripts/setup.sh" "$build" "$@"
  # -noreset: without it the server resets when its last client leaves, and a
  # window test that connects during the reset cannot open the display.
  (cd "$build" && xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" ctest --output-on-failure -j2)
}

run_suite "$here/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo

# The browser version: its platform-free tests under node (the whole-game
# replay among them, against the same trace), then the page played in the
# system's Chromium (installed with the tests' packages) with the test
# driver from npm.
"$here/web.sh" --tests
(cd "$here/build-web" && node --no-experimental-fetch test_wasm.js && node --no-experimental-fetch test_wasm_saves.js)
(cd "$here/tests/web" && npm ci --no-audit --no-fund --silent)
VELLUMBY_SITE="$here/build-web/site" node --test "$here/tests/web/test_web.js"
if $all; then
  export ASAN_OPTIONS=detect_leaks=0:abort_on_error=0
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  run_suite "$here/build-check" -DCMAKE_BUILD_TYPE=Debug -DORV_SANITIZE=ON -DORV_GC_STRESS=ON
  # The host's worker threads once more, alone under ThreadSanitizer: only
  # their test is built there. A report fails the probe it ran in.
  "$here/scripts/setup.sh" "$here/build-tsan" --target test_threads -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORV_TSAN=ON
  (cd "$here/build-tsan" && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure -R WorkerThreads)
fi
