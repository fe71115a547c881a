#!/usr/bin/env bash
# Sets up and builds what is missing, then starts Ordwin in its program folder.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$here/scripts/setup.sh" build -DORDWIN_BUILD_TESTS=OFF -DORDWIN_BUILD_BENCHMARKS=OFF
cd "$here/build/bin"
exec ./ordwin
