#!/usr/bin/env bash
# Fuzzes one of the game's file readers for a set time with clang's
# coverage-guided fuzzing engine and its address and undefined-behaviour
# checks, starting from the target's seed corpus (tests/fuzz/corpus/TARGET).
# Inputs that reach new code are kept in build-fuzz/corpus/TARGET; an input
# that makes the target fail is written to build-fuzz/findings/TARGET/ and
# the run stops there. Copy such an input into the seed corpus once the
# fault is mended: the test suite replays every seed.
# Usage: scripts/fuzz.sh TARGET SECONDS [more fuzzing engine options]
# Targets: string_load wav ogg png save_load
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
targets="string_load wav ogg png save_load"
if [ $# -lt 2 ] || [[ " $targets " != *" $1 "* ]] || ! [[ "$2" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: scripts/fuzz.sh TARGET SECONDS [options]   (TARGET: $targets)" >&2
  exit 2
fi
target="$1"
seconds="$2"
shift 2

build="$here/build-fuzz"
"$here/scripts/setup.sh" "$build" --target "fuzz_$target" -DORV_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++

corpus="$build/corpus/$target"
findings="$build/findings/$target"
mkdir -p "$corpus" "$findings"
# -close_fd_mask=1: the game's own messages on standard output are not news.
exec "$build/tests/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -close_fd_mask=1 \
  -print_final_stats=1 -artifact_prefix="$findings/" "$@" "$corpus" "$here/tests/fuzz/corpus/$target"
