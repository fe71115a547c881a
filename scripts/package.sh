#!/usr/bin/env bash
# Builds the Debian package of Ordwin into build-package/, as a Release build
# installed under /usr.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$here/scripts/setup.sh" build-package -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DORDWIN_BUILD_TESTS=OFF -DORDWIN_BUILD_BENCHMARKS=OFF
cd "$here/build-package"
cpack -G DEB
