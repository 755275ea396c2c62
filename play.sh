#!/usr/bin/env bash
# Sets up everything that is missing, builds, and starts the game.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$here/scripts/setup.sh" "$here/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cd "$here/build"
exec ./vellumby
