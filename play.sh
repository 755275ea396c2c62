#!/usr/bin/env bash
# Sets up what building and running the game needs (not what the tests
# use), builds the game and its data (not the tests or benchmarks), and
# starts it.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$here/scripts/setup.sh" --play "$here/build" --target vellumby -DCMAKE_BUILD_TYPE=RelWithDebInfo
cd "$here/build"
exec ./vellumby
